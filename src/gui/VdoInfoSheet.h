#pragma once
// "VDO Information": the marker-label translations and the free variable
// lines of the VDO flavour (kinex2.ini), and, for a C3D document, its
// force-plate channel selection. Every page edits a copy: OK applies them
// all, Cancel leaves everything as it was. Names are edited in place and may
// be neither empty nor hold a comma (kinex2.ini splits its lines at commas).

#include <QDialog>
#include <QWidget>
#include <string>
#include <vector>

#include "export/ExportOptions.h"

class CEditableListCtrl;
class CKinex2App;
class QListWidget;
class QPushButton;
class QTabWidget;

// Shared by the two list pages: the list, its Add and Delete buttons and
// the current row (-1 when none or more than one row is selected).
class CVdoListPage : public QWidget {
  Q_OBJECT

 public:
  CEditableListCtrl* List() const { return m_list; }
  QPushButton* AddButton() const { return m_add; }
  QPushButton* DeleteButton() const { return m_delete; }
  int CurrentRow() const { return m_current; }

 protected:
  explicit CVdoListPage(QWidget* parent);
  // Columns, then one row per entry.
  void FillList(const QStringList& headers, const std::vector<int>& widths,
                const std::vector<QStringList>& rows);
  void AppendRow(const QStringList& cells);
  // Refuses `text` for a name (with its message box): empty gives `emptyMessage`,
  // a comma "A name may not contain a comma".
  bool Acceptable(const QString& text, const char* emptyMessage);
  void SetCell(int row, int column, const std::string& text);

  virtual void OnEdit(int row, int column, const QString& text) = 0;
  virtual void OnAdd() = 0;
  virtual void OnDelete(int row) = 0;

 private:
  void OnSelectionChanged();

  CEditableListCtrl* m_list;
  QPushButton* m_add;
  QPushButton* m_delete;
  int m_current = -1;
};

// "Labels": LABEL and NEW LABEL, one row per translation pair.
class CPageVdoLabels : public CVdoListPage {
  Q_OBJECT

 public:
  CPageVdoLabels(std::vector<std::string> sourceNames, std::vector<std::string> dstNames,
                 QWidget* parent = nullptr);
  const std::vector<std::string>& SourceNames() const { return m_source; }
  const std::vector<std::string>& DstNames() const { return m_dst; }

 protected:
  void OnEdit(int row, int column, const QString& text) override;
  void OnAdd() override;
  void OnDelete(int row) override;

 private:
  std::vector<std::string> m_source;
  std::vector<std::string> m_dst;
};

// "Other Data": Variable and Value of each extra line.
class CPageVdoExtra : public CVdoListPage {
  Q_OBJECT

 public:
  explicit CPageVdoExtra(std::vector<std::string> lines, QWidget* parent = nullptr);
  const std::vector<std::string>& Lines() const { return m_lines; }

 protected:
  void OnEdit(int row, int column, const QString& text) override;
  void OnAdd() override;
  void OnDelete(int row) override;

 private:
  std::vector<std::string> m_lines;
};

// "Channel Selection": one check box per force-plate component, six per plate
// (the selection string's length / 6 plates).
class CPageVdoSelect : public QWidget {
  Q_OBJECT

 public:
  explicit CPageVdoSelect(const std::string& selection, QWidget* parent = nullptr);
  QListWidget* List() const { return m_list; }
  // '1' per checked row, '0' per other, in row order.
  std::string Selection() const;

 private:
  QListWidget* m_list;
};

class CVdoInfoSheet : public QDialog {
  Q_OBJECT

 public:
  static constexpr const char* kTitle = "VDO Information";

  // `plateSelection` null: no channel page.
  CVdoInfoSheet(const LabelTranslations& lists, const std::string* plateSelection,
                QWidget* parent = nullptr);

  QTabWidget* Pages() const { return m_tabs; }
  CPageVdoLabels* LabelsPage() const { return m_labels; }
  CPageVdoExtra* ExtraPage() const { return m_extra; }
  CPageVdoSelect* SelectPage() const { return m_select; }

  // The lists as edited.
  LabelTranslations Lists() const;

 private:
  QTabWidget* m_tabs;
  CPageVdoLabels* m_labels;
  CPageVdoExtra* m_extra;
  CPageVdoSelect* m_select = nullptr;
};

// The two VDO Information commands: runs the sheet over the application's
// lists (and `plateSelection`, a C3D document's, when not null). On OK the
// edits are applied and kinex2.ini is rewritten when a list changed; Cancel
// changes and writes nothing. True when the lists changed.
bool RunVdoInformation(CKinex2App& app, std::string* plateSelection, QWidget* parent);
