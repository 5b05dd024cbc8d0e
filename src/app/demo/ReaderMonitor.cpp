#include "app/demo/ReaderMonitor.h"

#include <QFontDatabase>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QSplitter>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <algorithm>

#include "app/demo/MonitorText.h"
#include "config/PageAssembly.h"

namespace tavrin::demo {
namespace {

// Room for every column of the pages a DownLoad writes, and for the
// newest few reports above them.
constexpr int kWidth = 600;
constexpr int kReportRows = 3;

// The rows of the pages a DownLoad writes: every page, and the fields of
// the system page and of the family page with the most.
int PageRowsOfADownload() {
  std::size_t familyFields = 0;
  for (PageNumber page : kPageNumbers) {
    if (page != PageNumber::System) familyFields = std::max(familyFields, FieldsOf(page).size());
  }
  return static_cast<int>(kPageNumbers.size() + FieldsOf(PageNumber::System).size() + familyFields);
}

// How much taller than its size hint a list must be to show rows rows of
// rowHeight pixels below its header.
int ExtraHeight(const QTreeWidget& list, int rows, int rowHeight) {
  return list.header()->sizeHint().height() + rows * rowHeight + 2 * list.frameWidth() -
         list.sizeHint().height();
}

QTreeWidget* NewList(const QString& name, const QStringList& headers, QWidget* parent) {
  auto* list = new QTreeWidget(parent);
  list->setObjectName(name);
  list->setHeaderLabels(headers);
  list->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
  list->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
  list->header()->setStretchLastSection(false);
  // Room between columns that are only as wide as their contents.
  list->setStyleSheet("QTreeView::item { padding-right: 10px; }");
  return list;
}

// A titled box around one list, for the splitter.
QWidget* Section(const QString& title, QWidget* content) {
  auto* section = new QWidget;
  auto* layout = new QVBoxLayout(section);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(new QLabel(title, section));
  layout->addWidget(content);
  return section;
}

}  // namespace

ReaderMonitor::ReaderMonitor(SimHost& host, SimReader& reader, QWidget* parent)
    : QWidget(parent, Qt::Window), host_(host), reader_(reader), previousHook_(host.onReport) {
  setWindowTitle("Simulated reader monitor");
  BuildLayout();
  host_.onReport = [this](const SimDevice& device, SimDirection direction,
                          const ReaderFrame& frame) { OnReport(device, direction, frame); };
  Refresh();
}

ReaderMonitor::~ReaderMonitor() { host_.onReport = previousHook_; }

void ReaderMonitor::BuildLayout() {
  reportList_ = NewList("ReportList", {"Command", "Reply", "Report (hex)"}, this);
  reportList_->setRootIsDecorated(false);
  pageTree_ = NewList("PageTree", {"Page / field", "Hex", "Decimal"}, this);
  BuildPageTree();
  stateText_ = new QLabel(this);
  stateText_->setObjectName("ReaderStateText");

  auto* identification =
      new QLabel("Reader: " + QString::fromStdString(reader_.identification), this);
  identification->setObjectName("IdentificationText");
  auto* splitter = new QSplitter(Qt::Vertical, this);
  QWidget* reports = Section("Reports received, newest last", reportList_);
  QWidget* pages = Section("Pages held", pageTree_);
  splitter->addWidget(reports);
  splitter->addWidget(pages);
  splitter->setStretchFactor(1, 2);
  auto* top = new QHBoxLayout;
  top->addWidget(identification, 1);
  top->addWidget(stateText_);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(6, 6, 6, 6);
  layout->addLayout(top);
  layout->addWidget(splitter);
  const int rowHeight = pageTree_->visualItemRect(pageTree_->topLevelItem(0)).height();
  // No less than the list's scroll bars need.
  const int moreReports =
      std::max(ExtraHeight(*reportList_, kReportRows, rowHeight),
               reportList_->minimumSizeHint().height() - reportList_->sizeHint().height());
  const int morePages = ExtraHeight(*pageTree_, PageRowsOfADownload(), rowHeight);
  splitter->setSizes(
      {reports->sizeHint().height() + moreReports, pages->sizeHint().height() + morePages});
  // The splitter's size hint leaves out its handle.
  resize(kWidth, layout->sizeHint().height() + splitter->handleWidth() + moreReports + morePages);
}

void ReaderMonitor::BuildPageTree() {
  for (PageNumber page : kPageNumbers) {
    auto* item = new QTreeWidgetItem(pageTree_, {PageTitle(page)});
    for (const PageFieldInfo& field : FieldsOf(page))
      new QTreeWidgetItem(item, {QString::fromStdString(field.name)});
    pageItems_[page] = item;
  }
}

void ReaderMonitor::OnReport(const SimDevice& device, SimDirection direction,
                             const ReaderFrame& frame) {
  if (previousHook_) previousHook_(device, direction, frame);
  if (&device != &reader_) return;
  AppendNewReports();
  // A reply answers the latest request the reader received.
  if (direction == SimDirection::Input && !replies_.empty()) {
    const auto command = static_cast<ReaderCommand>(reader_.received.back()[kCommandOffset]);
    replies_.back() = ReplyStatus(frame, command);
  }
  Refresh();
}

void ReaderMonitor::Refresh() {
  AppendNewReports();
  for (int row = 0; row < reportList_->topLevelItemCount(); ++row) {
    reportList_->topLevelItem(row)->setText(kReplyColumn, ReplyOutcome(replies_[row]));
  }
  for (PageNumber page : kPageNumbers) ShowPage(page);
  ShowState();
}

void ReaderMonitor::AppendNewReports() {
  const std::size_t shown = replies_.size();
  for (std::size_t i = shown; i < reader_.received.size(); ++i) {
    const ReaderFrame& request = reader_.received[i];
    auto* item = new QTreeWidgetItem(reportList_);
    item->setText(kCommandColumn, RequestName(request));
    item->setText(kBytesColumn, HexText(RequestBytes(request)));
  }
  replies_.resize(reader_.received.size());
  if (replies_.size() > shown) reportList_->scrollToBottom();
}

void ReaderMonitor::ShowPage(PageNumber page) {
  QTreeWidgetItem* item = pageItems_.at(page);
  const std::array<std::uint8_t, kPageSize>* bytes = reader_.Page(page);
  // Only a written page has its bytes as a tooltip.
  const bool firstSeen = bytes != nullptr && item->toolTip(kFieldColumn).isEmpty();
  item->setText(kHexColumn, bytes == nullptr ? "not written" : "");
  item->setToolTip(kFieldColumn, bytes == nullptr ? "" : HexText(*bytes));
  const std::span<const PageFieldInfo> fields = FieldsOf(page);
  for (std::size_t i = 0; i < fields.size(); ++i) {
    QTreeWidgetItem* child = item->child(static_cast<int>(i));
    child->setHidden(bytes == nullptr);
    if (bytes == nullptr) continue;
    const auto value = std::span(*bytes).subspan(fields[i].offset, fields[i].width);
    child->setText(kHexColumn, HexText(value));
    child->setText(kDecimalColumn, DecimalBytes(value));
  }
  if (firstSeen) item->setExpanded(true);
}

void ReaderMonitor::ShowState() {
  stateText_->setText(QString("Unlocked: %1    Resets: %2")
                          .arg(reader_.unlocked ? "yes" : "no")
                          .arg(reader_.resets));
}

}  // namespace tavrin::demo
