#include "history/history_window.h"

#include "history/clipboard.h"
#include "history/history.h"
#include "widgets/save_file.h"

#include <QAbstractTableModel>
#include <QAction>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLocale>
#include <QPushButton>
#include <QStandardPaths>
#include <QTableView>
#include <QVBoxLayout>

namespace velhorn::history {

// The entries as rows: when, what was found, then every quantity, rounded for reading.
class EntriesModel : public QAbstractTableModel {
public:
    using QAbstractTableModel::QAbstractTableModel;

    void setEntries(std::vector<Entry> entries)
    {
        beginResetModel();
        entries_ = std::move(entries);
        endResetModel();
    }
    [[nodiscard]] const std::vector<Entry>& entries() const { return entries_; }

    int rowCount(const QModelIndex& parent) const override { return parent.isValid() ? 0 : static_cast<int>(entries_.size()); }
    int columnCount(const QModelIndex& parent) const override
    {
        return parent.isValid() ? 0 : static_cast<int>(press::kFanColumns.size()) + 2;
    }

    QVariant data(const QModelIndex& index, int role) const override
    {
        if (!index.isValid() || role != Qt::DisplayRole)
            return {};
        const Entry& entry = entries_[static_cast<std::size_t>(index.row())];
        if (index.column() == 0)
            return QLocale().toString(entry.time.toLocalTime(), QLocale::ShortFormat);
        if (index.column() == 1)
            return QString::fromUtf8(press::modeName(entry.found).data());
        const QString text = QString::fromStdString(press::roundedNumber(entry.values[static_cast<std::size_t>(index.column() - 2)], 6));
        return QString(text).replace(u'.', QLocale().decimalPoint());
    }

    QVariant headerData(int section, Qt::Orientation orientation, int role) const override
    {
        if (role != Qt::DisplayRole || orientation != Qt::Horizontal)
            return QAbstractTableModel::headerData(section, orientation, role);
        if (section == 0)
            return QStringLiteral("time");
        if (section == 1)
            return QStringLiteral("found");
        const std::string_view name = press::kFanColumns[static_cast<std::size_t>(section - 2)];
        return QString::fromLatin1(name.data(), static_cast<qsizetype>(name.size()));
    }

private:
    std::vector<Entry> entries_;
};

HistoryWindow::HistoryWindow(History& history, MessageBox messageBox, QWidget* parent)
    : QWidget(parent, Qt::Window), history_(history), messageBox_(std::move(messageBox)),
      model_(new EntriesModel(this)), table_(new QTableView(this))
{
    setWindowTitle(QStringLiteral("History - Velhorn"));
    table_->setModel(model_);
    table_->setAccessibleName(QStringLiteral("Presses that found a result"));
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setAlternatingRowColors(true);
    // Fixed widths: fitting each column to its contents would read every row.
    table_->horizontalHeader()->setDefaultSectionSize(fontMetrics().horizontalAdvance(QStringLiteral("0.000000000")));
    const QString sampleTime = QLocale().toString(QDateTime(QDate(2026, 12, 28), QTime(23, 59)), QLocale::ShortFormat);
    table_->horizontalHeader()->resizeSection(0, fontMetrics().horizontalAdvance(sampleTime + QStringLiteral("00")));
    table_->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);

    auto* buttons = new QDialogButtonBox(this);
    auto* copyButton = buttons->addButton(QStringLiteral("&Copy"), QDialogButtonBox::ActionRole);
    auto* saveButton = buttons->addButton(QStringLiteral("&Save as CSV..."), QDialogButtonBox::ActionRole);
    auto* closeButton = buttons->addButton(QDialogButtonBox::Close);
    copyButton->setToolTip(QStringLiteral("Copy the chosen rows, or all of them, for a spreadsheet"));
    connect(copyButton, &QPushButton::clicked, this, &HistoryWindow::copy);
    connect(saveButton, &QPushButton::clicked, this, [this] {
        if (const QString path = saveDialog_(); !path.isEmpty())
            saveCsv(path);
    });
    connect(closeButton, &QPushButton::clicked, this, &QWidget::close);
    // Ctrl+C in the table copies rows as the button does, not one cell's rounded text.
    auto* copyKeys = new QAction(this);
    copyKeys->setShortcut(QKeySequence::Copy);
    copyKeys->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    connect(copyKeys, &QAction::triggered, this, &HistoryWindow::copy);
    addAction(copyKeys);
    connect(&history_, &History::changed, this, [this] {
        if (isVisible())
            reload();
    });

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(table_);
    layout->addWidget(buttons);
    resize(720, 360);

    saveDialog_ = [this] {
        const QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
        return QFileDialog::getSaveFileName(this, QStringLiteral("Save history as CSV"),
                                            folder + QStringLiteral("/velhorn-history.csv"),
                                            QStringLiteral("CSV files (*.csv)"));
    };
    reload();
}

HistoryWindow::~HistoryWindow() = default;

const std::vector<Entry>& HistoryWindow::entries() const
{
    return model_->entries();
}

void HistoryWindow::reload()
{
    model_->setEntries(history_.entries());
    table_->scrollToBottom();
}

void HistoryWindow::copy()
{
    const QModelIndexList rows = table_->selectionModel()->selectedRows();
    if (rows.isEmpty()) {
        copyToClipboard(entries());
        return;
    }
    std::vector<int> chosenRows;
    for (const QModelIndex& row : rows)
        chosenRows.push_back(row.row());
    std::sort(chosenRows.begin(), chosenRows.end());  // in the order they were made, as they were chosen
    std::vector<Entry> chosen;
    for (int row : chosenRows)
        chosen.push_back(entries()[static_cast<std::size_t>(row)]);
    copyToClipboard(chosen);
}

void HistoryWindow::saveCsv(const QString& path)
{
    std::string csv = csvHeader();
    for (const Entry& entry : entries())
        csv += csvLine(entry);
    if (const auto failure = widgets::saveWhole(path, QByteArray::fromStdString(csv)))
        messageBox_(QStringLiteral("The history could not be saved as %1: %2.").arg(QDir::toNativeSeparators(path), *failure));
}

}  // namespace velhorn::history
