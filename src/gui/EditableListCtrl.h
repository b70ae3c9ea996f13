#pragma once
// A report list whose cells are edited in place: double-click the focused row
// to edit the cell under the pointer with the column's editor (an edit box or
// a drop-down list of the column's choices). The first double-click on a row
// that does not have the focus only selects it. A finished edit is reported by
// editFinished; the list also puts a committed text into the cell itself.

#include <QComboBox>
#include <QLineEdit>
#include <QPointer>
#include <QStringList>
#include <QTableWidget>
#include <vector>

// Editor kinds of a column.
enum ListEditorKind : int { kEditBox = 0, kDropDownList = 1 };

class CInPlaceEdit : public QLineEdit {
  Q_OBJECT

 public:
  CInPlaceEdit(int row, int column, const QString& text, QWidget* parent);
  int Row() const { return m_row; }
  int Column() const { return m_column; }
  // Ends the edit: reports it (once) and removes the editor.
  void Finish();

 signals:
  // `cancelled`: Escape was pressed; `text` is then meaningless.
  void finished(int row, int column, bool cancelled, const QString& text);

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;
  bool event(QEvent* event) override;

 private:
  void Fit();
  int m_row;
  int m_column;
  bool m_cancelled = false;
  bool m_done = false;
};

class CInPlaceCombo : public QComboBox {
  Q_OBJECT

 public:
  CInPlaceCombo(int row, int column, const QStringList& choices, int initial, QWidget* parent);
  int Row() const { return m_row; }
  int Column() const { return m_column; }
  void Finish();

 signals:
  void finished(int row, int column, bool cancelled, const QString& text);

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;
  bool event(QEvent* event) override;

 private:
  int m_row;
  int m_column;
  bool m_cancelled = false;
  bool m_done = false;
};

class CEditableListCtrl : public QTableWidget {
  Q_OBJECT

 public:
  explicit CEditableListCtrl(QWidget* parent = nullptr);

  void EnableEditing(bool enable) { m_editing = enable; }
  void SetFirstColumnEditable(bool editable) { m_firstColumnEditable = editable; }
  void SetColumnEditor(int column, int kind);
  void SetColumnChoices(int column, const QStringList& choices, int initialChoice = 0);

  // Starts the column's editor on (row, column); false when none was started
  // (no such cell, column too narrow, editing disabled, first column locked).
  bool EditCell(int row, int column);
  // The running in-place editor, or null.
  QWidget* Editor() const { return m_editor; }
  // Ends a running edit as if the editor had lost the focus.
  void EndEdit();

 signals:
  // The end-of-edit notification: row, column, and the text, or cancelled.
  void editFinished(int row, int column, bool cancelled, const QString& text);

 protected:
  void mousePressEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void scrollContentsBy(int dx, int dy) override;

 private:
  struct Column {
    int kind = kEditBox;
    QStringList choices;
    int initialChoice = 0;
  };
  Column& ColumnAt(int column);
  QRect EditorRect(int row, int column);
  void OnEditorFinished(int row, int column, bool cancelled, const QString& text);

  std::vector<Column> m_columns;
  bool m_editing = true;
  bool m_firstColumnEditable = false;
  // The focused row when the current click gesture began: a double-click edits
  // only a row that already had the focus before its first click.
  int m_rowFocusedAtGesture = -1;
  qint64 m_lastPressTime = -1;
  QPointer<QWidget> m_editor;
};
