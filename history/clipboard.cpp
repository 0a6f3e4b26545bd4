#include "history/clipboard.h"

#include <QApplication>
#include <QClipboard>
#include <QMimeData>

namespace velhorn::history {

void copyToClipboard(const std::vector<Entry>& entries)
{
    std::string text = csvHeader('\t');
    for (const Entry& entry : entries)
        text += csvLine(entry, '\t');
    auto* data = new QMimeData;
    data->setText(QString::fromStdString(text));
    data->setHtml(QString::fromStdString(htmlTable(entries)));
    QApplication::clipboard()->setMimeData(data);
}

}  // namespace velhorn::history
