#include "history/history_window.h"

#include "history/clipboard.h"
#include "history/history.h"
#include "press/column_titles.h"
#include "widgets/save_file.h"
#include "text/number_text.h"

#include <QAbstractTableModel>
#include <QAction>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileInfo>
#include <QFileDialog>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLocale>
#include <QPushButton>
#include <QScrollBar>
#include <QStandardPaths>
#include <QTableView>
#include <QVBoxLayout>

namespace velhorn::history {

// The entries as rows: when, what was found, then every quantity, rounded for reading. Rows read
// from the file come first, in the file's order; presses made since the window opened follow.
class EntriesModel : public QAbstractTableModel {
public:
    using QAbstractTableModel::QAbstractTableModel;

    void reset(std::vector<Entry> unwritten)
    {
        beginResetModel();
        entries_ = std::move(unwritten);
        fromFile_ = 0;
        endResetModel();
    }
    // Rows read from the file go before those that came later.
    void insertFromFile(std::vector<Entry> entries)
    {
        if (entries.empty())
            return;
        const int at = static_cast<int>(fromFile_);
        beginInsertRows({}, at, at + static_cast<int>(entries.size()) - 1);
        entries_.insert(entries_.begin() + static_cast<std::ptrdiff_t>(fromFile_), std::make_move_iterator(entries.begin()),
                        std::make_move_iterator(entries.end()));
        fromFile_ += entries.size();
        endInsertRows();
    }
    void append(std::vector<Entry> entries)
    {
        if (entries.empty())
            return;
        const int at = static_cast<int>(entries_.size());
        beginInsertRows({}, at, at + static_cast<int>(entries.size()) - 1);
        entries_.insert(entries_.end(), std::make_move_iterator(entries.begin()), std::make_move_iterator(entries.end()));
        endInsertRows();
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
            return QLocale().toString(QDateTime::fromString(QString::fromStdString(entry.time), Qt::ISODateWithMs).toLocalTime(),
                                      QLocale::ShortFormat);
        if (index.column() == 1)
            return QString::fromUtf8(press::modeName(entry.found).data());
        const QString text = QString::fromStdString(text::roundedNumber(entry.values[static_cast<std::size_t>(index.column() - 2)], 6));
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
        const std::string_view title = press::kFanColumnTitles[static_cast<std::size_t>(section - 2)];
        return QString::fromUtf8(title.data(), static_cast<qsizetype>(title.size()));
    }

private:
    std::vector<Entry> entries_;
    std::size_t fromFile_ = 0;
};

HistoryWindow::HistoryWindow(History& history, MessageBox messageBox, QWidget* parent)
    : QDialog(parent), history_(history), messageBox_(std::move(messageBox)),
      model_(new EntriesModel(this)), table_(new QTableView(this))
{
    setWindowTitle(QStringLiteral("History - Velhorn"));
    table_->setModel(model_);
    table_->setAccessibleName(QStringLiteral("Presses that found a result"));
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setAlternatingRowColors(true);
    table_->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    table_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    fitColumnsToHeaders();

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
    // Repainting the rows in view costs more than a press: new rows join the table at most ten
    // times a second, so a burst of presses repaints it once.
    newRowsTimer_.setSingleShot(true);
    newRowsTimer_.setInterval(kNewRowsInterval);
    connect(&newRowsTimer_, &QTimer::timeout, this, [this] {
        const bool atBottom = table_->verticalScrollBar()->value() == table_->verticalScrollBar()->maximum();
        model_->append(std::exchange(newRows_, {}));
        if (atBottom)
            table_->scrollToBottom();
    });
    connect(&history_, &History::added, this, [this](const Entry& entry) {
        newRows_.push_back(entry);
        if (!newRowsTimer_.isActive())
            newRowsTimer_.start();
    });
    connect(&history_, &History::cleared, this, &HistoryWindow::reload);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(table_);
    layout->addWidget(buttons);
    resize(720, 360);

    saveDialog_ = [this] {
        const QString folder = widgets::saveFolder(QStandardPaths::DocumentsLocation, lastSaveFolder_);
        const QString path = QFileDialog::getSaveFileName(this, QStringLiteral("Save history as CSV"),
                                                          folder + QStringLiteral("/velhorn-history.csv"),
                                                          QStringLiteral("CSV files (*.csv)"));
        if (!path.isEmpty())
            lastSaveFolder_ = QFileInfo(path).absolutePath();
        return path;
    };
    reload();
}

HistoryWindow::~HistoryWindow()
{
    stopLoading();
}

const std::vector<Entry>& HistoryWindow::entries() const
{
    model_->append(std::exchange(newRows_, {}));
    return model_->entries();
}

// Fixed widths, each wide enough for its header and a number of six digits: fitting a column to
// its contents would read every row.
void HistoryWindow::fitColumnsToHeaders()
{
    QHeaderView* header = table_->horizontalHeader();
    const int number = fontMetrics().horizontalAdvance(QStringLiteral("-0.000000E-000"));
    const QString sampleTime = QLocale().toString(QDateTime(QDate(2026, 12, 28), QTime(23, 59)), QLocale::ShortFormat);
    const int time = fontMetrics().horizontalAdvance(sampleTime + QStringLiteral("00"));
    for (int section = 0; section < model_->columnCount({}); ++section)
        header->resizeSection(section, std::max({section == 0 ? time : section == 1 ? 0 : number,
                                                 header->sectionSizeHint(section)}));
}

void HistoryWindow::stopLoading()
{
    cancelled_ = true;
    if (loader_.joinable())
        loader_.join();
    cancelled_ = false;
}

void HistoryWindow::reload()
{
    stopLoading();
    ++generation_;
    loaded_ = false;
    newRows_.clear();  // the snapshot holds them
    // Lines the writer has yet to put on disk are shown now; the file is read behind them.
    const History::Snapshot snapshot = history_.snapshot();
    std::vector<Entry> unwritten;
    appendEntries(unwritten, snapshot.unwritten);
    model_->reset(std::move(unwritten));
    loader_ = std::thread([this, path = history_.path(), end = snapshot.fileEnd, generation = generation_] {
        constexpr qint64 kPiece = 1 << 20;
        QFile file(path);
        std::string carried;  // the start of a line that runs into the next piece
        const qint64 headerSize = static_cast<qint64>(csvHeader().size());
        if (end > headerSize && file.open(QIODevice::ReadOnly) && file.seek(headerSize)) {
            for (qint64 at = headerSize; at < end && !cancelled_;) {
                const QByteArray piece = file.read(std::min(kPiece, end - at));
                if (piece.isEmpty())
                    break;
                at += piece.size();
                carried.append(piece.constData(), static_cast<std::size_t>(piece.size()));
                const std::size_t lastLine = carried.rfind('\n');
                if (lastLine == std::string::npos)
                    continue;
                std::vector<Entry> entries;
                appendEntries(entries, std::string_view(carried).substr(0, lastLine + 1));
                carried.erase(0, lastLine + 1);
                QMetaObject::invokeMethod(this, [this, generation, entries = std::move(entries)]() mutable {
                    if (generation == generation_)
                        model_->insertFromFile(std::move(entries));
                }, Qt::QueuedConnection);
            }
        }
        QMetaObject::invokeMethod(this, [this, generation] {
            if (generation != generation_)
                return;
            loaded_ = true;
            table_->scrollToBottom();
        }, Qt::QueuedConnection);
    });
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
