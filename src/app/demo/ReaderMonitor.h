// A window beside the demo's dialog that shows what the simulated reader
// received, how it answered, and the configuration pages it now holds.
//
//   SimHost host;
//   SimReader& reader = host.AddReader();
//   ReaderMonitor monitor(host, reader);
//   monitor.show();
//
// It follows the reader through the host's onReport hook (chained to any
// hook already set, restored when the monitor goes).
#pragma once

#include <QWidget>
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <vector>

#include "sim/SimHost.h"

class QLabel;
class QTreeWidget;
class QTreeWidgetItem;

namespace tavrin::demo {

// Columns of the report list, object name "ReportList".
enum ReportColumn { kCommandColumn, kReplyColumn, kBytesColumn };
// Columns of the page tree, object name "PageTree": one item per page, one
// child per named field.
enum PageColumn { kFieldColumn, kHexColumn, kDecimalColumn };

class ReaderMonitor : public QWidget {
  Q_OBJECT
 public:
  ReaderMonitor(SimHost& host, SimReader& reader, QWidget* parent = nullptr);
  ~ReaderMonitor() override;
  ReaderMonitor(const ReaderMonitor&) = delete;
  ReaderMonitor& operator=(const ReaderMonitor&) = delete;

  // Brings the window up to date with the reader; reports call it.
  void Refresh();

 private:
  using ReportHook = std::function<void(const SimDevice&, SimDirection, const ReaderFrame&)>;

  void BuildLayout();
  void BuildPageTree();
  void OnReport(const SimDevice& device, SimDirection direction, const ReaderFrame& frame);
  void AppendNewReports();
  void ShowPage(PageNumber page);
  void ShowState();

  SimHost& host_;
  SimReader& reader_;
  ReportHook previousHook_;
  // The reply status of each request in reader_.received, once read.
  std::vector<std::optional<std::uint8_t>> replies_;
  QTreeWidget* reportList_ = nullptr;
  QTreeWidget* pageTree_ = nullptr;
  QLabel* stateText_ = nullptr;
  std::map<PageNumber, QTreeWidgetItem*> pageItems_;
};

}  // namespace tavrin::demo
