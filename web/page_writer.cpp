// Writes the page's markup and geometry from the desktop window's layout table, so the page
// stands exactly where the window does and says what it says.
//   page_writer TEMPLATE OUTPUT
#include "window/layout.h"

#include <cstdio>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <string_view>

namespace {

using namespace velhorn::window;
namespace form = velhorn::window::form1;

std::string escaped(std::string_view text)
{
    std::string out;
    for (char c : text) {
        switch (c) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '"': out += "&quot;"; break;
        default: out += c;
        }
    }
    return out;
}

// A menu caption without its access-key mark.
std::string withoutMark(std::string_view caption)
{
    std::string out;
    for (char c : caption)
        if (c != '&')
            out += c;
    return escaped(out);
}

// Lengths are multiples of --px, one desktop pixel, which the style sheet shrinks on a narrow screen.
std::string px(double pixels)
{
    std::ostringstream out;
    out << "calc(" << pixels << " * var(--px))";
    return out.str();
}

std::string place(std::string_view id, const PixelRect& r)
{
    std::ostringstream out;
    out << '#' << id << " { left: " << px(r.left) << "; top: " << px(r.top) << "; width: " << px(r.width)
        << "; height: " << px(r.height) << "; }\n";
    return out.str();
}

std::string cssColour(std::uint32_t lowRed)
{
    char text[8];
    std::snprintf(text, sizeof text, "#%02x%02x%02x", lowRed & 0xFFU, (lowRed >> 8) & 0xFFU, (lowRed >> 16) & 0xFFU);
    return text;
}

double pointsToPixels(double points)
{
    return points * 96 / 72;
}

// HTML's positive tab indices come before the rest in rising order; the table's start at 0.
int tabIndex(const form::Control& c)
{
    return c.tabIndex + 1;
}

// Which press mode an option chooses: the place of its quantity's box among the boxes.
int modeOf(const form::Control& option)
{
    const std::string box = "Text_" + std::string(option.name.substr(std::string_view("Option_").size()));
    for (std::size_t i = 0; i < form::kBoxes.size(); ++i)
        if (form::kBoxes[i].name == box)
            return static_cast<int>(i);
    throw std::logic_error("no box for " + std::string(option.name));
}

std::string control(const form::Control& c);

std::string frame(const form::Control& f)
{
    std::string out = "<div id=\"" + std::string(f.name) + "\" class=\"frame" +
                      (f.caption.empty() ? " bare" : "") + "\" role=\"group\"";
    if (!f.caption.empty())
        out += " aria-labelledby=\"" + std::string(f.name) + "-caption\"><span class=\"caption\" id=\"" +
               std::string(f.name) + "-caption\">" + escaped(f.caption) + "</span>\n";
    else
        out += ">\n";
    for (const form::Control& child : form::kControls)
        if (child.container == f.name)
            out += control(child);
    return out + "</div>\n";
}

std::string control(const form::Control& c)
{
    const std::string id = std::string(c.name);
    const std::string tab = std::to_string(tabIndex(c));
    switch (c.kind) {
    case form::Kind::Chart:
        return "<canvas id=\"" + id + "\" class=\"chart\" tabindex=\"" + tab + "\" role=\"img\" aria-label=\"" +
               escaped(c.accessibleName) + "\" aria-describedby=\"" + id + "-description\"></canvas>\n" +
               "<p id=\"" + id + "-description\" class=\"unseen\">" + escaped(kNothingDrawn) + "</p>\n";
    case form::Kind::Frame:
        return frame(c);
    case form::Kind::Option:
        return "<label id=\"" + id + "\" class=\"option\"><input type=\"radio\" name=\"output\" value=\"" +
               std::to_string(modeOf(c)) + "\" tabindex=\"" + tab + "\">" + escaped(c.caption) + "</label>\n";
    case form::Kind::TextBox:
        return "<input id=\"" + id + "\" class=\"box\" type=\"text\" tabindex=\"" + tab + "\" aria-label=\"" +
               escaped(c.accessibleName) + "\" autocomplete=\"off\" autocapitalize=\"off\" spellcheck=\"false\">\n";
    case form::Kind::Button:
        return "<button id=\"" + id + "\" type=\"button\" tabindex=\"" + tab + "\">" + escaped(c.caption) +
               "</button>\n";
    case form::Kind::Label:
        return "<span id=\"" + id + "\" class=\"label\">" + escaped(c.caption) + "</span>\n";
    }
    return {};
}

std::string form1Markup()
{
    std::string out;
    for (const form::Control& c : form::kControls)
        if (c.container.empty())
            out += control(c);
    return out;
}

std::string boxOrder()
{
    std::string out;
    for (const form::Control& box : form::kBoxes)
        out += (out.empty() ? "" : " ") + std::string(box.name);
    return out;
}

std::string aboutId(const about::Line& line)
{
    return "About_" + std::string(line.name);
}

std::string aboutMarkup()
{
    std::string out;
    for (const about::Line& line : about::kLines)
        out += "<span id=\"" + aboutId(line) + "\" class=\"line\">" + escaped(line.text) + "</span>\n";
    return out;
}

std::string geometry()
{
    std::ostringstream out;
    out << "#Form1 .client { width: " << px(form::kClientArea.pixels().width)
        << "; height: " << px(form::kClientArea.pixels().height) << "; }\n";
    out << "#Form1 { font-size: " << px(pointsToPixels(form::kPointSize)) << "; }\n";
    for (const form::Control& c : form::kControls)
        out << place(c.name, c.where.pixels());
    out << "#Form_About .area { width: " << px(about::kClientArea.pixels().width)
        << "; height: " << px(about::kClientArea.pixels().height) << "; background: "
        << cssColour(colour::kLightYellow) << "; }\n";
    for (const about::Line& line : about::kLines) {
        const std::string id = aboutId(line);
        out << place(id, line.where.pixels());
        out << '#' << id << " { font-size: " << px(pointsToPixels(line.pointSize)) << "; color: "
            << cssColour(line.colour) << "; }\n";
    }
    out << ":root { --chart-back: " << cssColour(colour::kLightYellow) << "; --chart-ink: " << cssColour(colour::kBlack) << "; --input-white: "
        << cssColour(colour::kInputWhite) << "; --output-grey: " << cssColour(colour::kOutputGrey)
        << "; --red: " << cssColour(colour::kRed) << "; --blue: " << cssColour(colour::kBlue)
        << "; --about-font: \"" << about::kFont << "\"; }\n";
    return out.str();
}

void replace(std::string& text, std::string_view mark, const std::string& with)
{
    const std::size_t at = text.find(mark);
    if (at == std::string::npos)
        throw std::runtime_error("the template has no " + std::string(mark));
    text.replace(at, mark.size(), with);
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::cerr << "usage: page_writer TEMPLATE OUTPUT\n";
        return 2;
    }
    try {
        std::ifstream in(argv[1]);
        std::stringstream page;
        page << in.rdbuf();
        std::string text = page.str();
        const std::string title = escaped(kApplicationTitle);
        replace(text, "@TITLE@", title);
        replace(text, "@GEOMETRY@", geometry());
        replace(text, "@MENU_ABOUT@", escaped(form::kMenuAbout));
        replace(text, "@BOXES@", boxOrder());
        replace(text, "@FORM1@", form1Markup());
        replace(text, "@COPY_RESULTS@", withoutMark(form::kCopyResults));
        replace(text, "@SAVE_CHART@", withoutMark(form::kSaveChart));
        replace(text, "@MESSAGE_TITLE@", title);
        replace(text, "@ABOUT_TITLE@", escaped(about::kTitle));
        replace(text, "@ABOUT@", aboutMarkup());
        std::ofstream out(argv[2]);
        out << text;
        if (!out.flush())
            throw std::runtime_error(std::string("cannot write ") + argv[2]);
    } catch (const std::exception& e) {
        std::cerr << "page_writer: " << e.what() << '\n';
        return 1;
    }
    return 0;
}
