#pragma once
// "Veltro Information": the four facts about the EMG test set that the EXP
// report names. A double-click on a row edits its value in the Enter Value
// dialog; an accepted value is stored at once. There is no Cancel: nothing
// is left to undo when the dialog closes.

#include <QDialog>

class CKinex2App;
class QTableWidget;

class CVeltroInfoDlg : public QDialog {
  Q_OBJECT

 public:
  static constexpr const char* kTitle = "Veltro Information";

  CVeltroInfoDlg(CKinex2App& app, QWidget* parent = nullptr);

  QTableWidget* List() const { return m_list; }
  // Edits `row` (0-3) as a double-click does; false when there is no such row.
  bool EditRow(int row);

 signals:
  void ValueChanged();

 private:
  void Fill();

  CKinex2App& m_app;
  QTableWidget* m_list;
};
