#pragma once

#include <QPushButton>

namespace velhorn::widgets {

// A push button whose caption wraps onto more lines when it is wider than the button, so a
// long instruction stays readable on a narrow button.
class CommandButton : public QPushButton {
    Q_OBJECT
public:
    explicit CommandButton(QWidget* parent = nullptr);

    void setCaption(const QString& caption);
    [[nodiscard]] QString caption() const { return caption_; }

protected:
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void wrapCaption();
    QString caption_;
};

}  // namespace velhorn::widgets
