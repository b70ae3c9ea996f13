#pragma once
// "Batch File Processing": Browse picks a list file and shows its rows
// (input, output, start and end frame); Export converts every row through
// the batch core, showing "Exporting from %s To %s" in the status line and
// asking the four-answer question before an existing output is replaced.
// Every document a row opens is closed again.

#include <QDialog>
#include <filesystem>
#include <vector>

#include "app/BatchExport.h"

class CKinex2App;
class QLabel;
class QTableWidget;

class CBatchDlg : public QDialog, private CBatchListener {
  Q_OBJECT

 public:
  static constexpr const char* kTitle = "Batch File Processing";
  static constexpr const char* kListFilter = "Text Files (*.txt);;All Files (*.*)";

  CBatchDlg(CKinex2App& app, QWidget* parent = nullptr);

  // Browse after its file dialog: shows `listFile` and its rows; "Unable to
  // Open the selected file" and an empty list when it cannot be read.
  void LoadList(const QString& listFile);
  // Export: every row in order.
  CBatchResult Export();

  QTableWidget* List() const { return m_list; }
  QString ListFile() const;
  QString StatusText() const;

 private:
  void OnBrowse();
  void RowStarted(std::size_t row, std::size_t rows, const std::string& status,
                  const std::filesystem::path& output) override;

  CKinex2App& m_app;
  QLabel* m_listFile;
  QTableWidget* m_list;
  QLabel* m_status;
  std::vector<CBatchRow> m_rows;
  std::filesystem::path m_listFolder;
};
