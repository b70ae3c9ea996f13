#include "gui/EditableListCtrl.h"

#include <QApplication>
#include <QFocusEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScrollBar>
#include <algorithm>

#include "gui/TableCopy.h"

namespace {

// Keys the editor keeps for itself instead of letting a dialog act on them.
bool IsEditorKey(const QKeyEvent* k) {
  return k->key() == Qt::Key_Return || k->key() == Qt::Key_Enter || k->key() == Qt::Key_Escape ||
         k->key() == Qt::Key_Delete || (k->modifiers() & Qt::ControlModifier);
}

constexpr int kLeftInset = 4;
constexpr int kRightInset = 3;
constexpr int kMinimumColumnWidth = 5;
constexpr int kFitPadding = 5;
constexpr int kDropDownRows = 5;

// Gives the focus back to the list that holds `editor` in its viewport.
void ReturnFocus(QWidget* editor) {
  QWidget* viewport = editor->parentWidget();
  QWidget* list = viewport != nullptr ? viewport->parentWidget() : nullptr;
  if (list != nullptr) list->setFocus();
}

// Claims Enter, Escape and the other editor keys before a shortcut override
// hands them to the dialog's buttons. True when the event was taken.
bool ClaimEditorKeys(QEvent* e) {
  if (e->type() != QEvent::ShortcutOverride || !IsEditorKey(static_cast<QKeyEvent*>(e))) {
    return false;
  }
  e->accept();
  return true;
}

// True for the keys that end an edit; Escape also marks it cancelled.
bool EndsEdit(QKeyEvent* e, bool& cancelled) {
  if (e->key() != Qt::Key_Return && e->key() != Qt::Key_Enter && e->key() != Qt::Key_Escape) {
    return false;
  }
  cancelled = e->key() == Qt::Key_Escape;
  e->accept();
  return true;
}

// Reports the edit once, then removes the editor and returns the focus.
template <typename Editor>
void FinishEdit(Editor* editor, bool& done, int row, int column, bool cancelled,
                const QString& text) {
  if (done) return;
  done = true;
  emit editor->finished(row, column, cancelled, text);
  editor->hide();
  ReturnFocus(editor);
  editor->deleteLater();
}

}  // namespace

CInPlaceEdit::CInPlaceEdit(int row, int column, const QString& text, QWidget* parent)
    : QLineEdit(text, parent), m_row(row), m_column(column) {
  setFrame(true);
  connect(this, &QLineEdit::textEdited, this, &CInPlaceEdit::Fit);
}

bool CInPlaceEdit::event(QEvent* e) {
  return ClaimEditorKeys(e) || QLineEdit::event(e);
}

void CInPlaceEdit::keyPressEvent(QKeyEvent* e) {
  if (EndsEdit(e, m_cancelled)) {
    Finish();
    return;
  }
  QLineEdit::keyPressEvent(e);
}

void CInPlaceEdit::Fit() {
  // Widen to the text plus a little, never past the list's right edge.
  const int wanted = fontMetrics().horizontalAdvance(text()) + kFitPadding +
                     (width() - contentsRect().width()) + 2 * kFitPadding;
  const int limit = parentWidget() != nullptr ? parentWidget()->width() - x() : wanted;
  if (wanted > width()) resize(std::min(wanted, limit), height());
}

void CInPlaceEdit::focusOutEvent(QFocusEvent* e) {
  QLineEdit::focusOutEvent(e);
  Finish();
}

void CInPlaceEdit::Finish() {
  FinishEdit(this, m_done, m_row, m_column, m_cancelled, text());
}

CInPlaceCombo::CInPlaceCombo(int row, int column, const QStringList& choices, int initial,
                             QWidget* parent)
    : QComboBox(parent), m_row(row), m_column(column) {
  addItems(choices);
  setCurrentIndex(initial >= 0 && initial < choices.size() ? initial : -1);
  setMaxVisibleItems(kDropDownRows);
  int widest = 0;
  for (const QString& c : choices) widest = std::max(widest, fontMetrics().horizontalAdvance(c));
  view()->setMinimumWidth(widest + 2 * kFitPadding + 20);
}

bool CInPlaceCombo::event(QEvent* e) {
  return ClaimEditorKeys(e) || QComboBox::event(e);
}

void CInPlaceCombo::keyPressEvent(QKeyEvent* e) {
  if (EndsEdit(e, m_cancelled)) {
    Finish();
    return;
  }
  QComboBox::keyPressEvent(e);
}

void CInPlaceCombo::focusOutEvent(QFocusEvent* e) {
  QComboBox::focusOutEvent(e);
  // The pop-up list takes the focus while open; that is not the end of the edit.
  if (e->reason() == Qt::PopupFocusReason || view()->isVisible()) return;
  Finish();
}

void CInPlaceCombo::Finish() {
  FinishEdit(this, m_done, m_row, m_column, m_cancelled, currentText());
}

CEditableListCtrl::CEditableListCtrl(QWidget* parent) : QTableWidget(parent) {
  setSelectionBehavior(QAbstractItemView::SelectRows);
  setSelectionMode(QAbstractItemView::SingleSelection);
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  setShowGrid(false);
  verticalHeader()->hide();
  verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
  horizontalHeader()->setHighlightSections(false);
  horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  setWordWrap(false);
  InstallRowCopy(this);
}

CEditableListCtrl::Column& CEditableListCtrl::ColumnAt(int column) {
  if (static_cast<int>(m_columns.size()) <= column) {
    m_columns.resize(static_cast<std::size_t>(column) + 1);
  }
  return m_columns[static_cast<std::size_t>(column)];
}

void CEditableListCtrl::SetColumnEditor(int column, int kind) {
  if (column >= 0) ColumnAt(column).kind = kind;
}

void CEditableListCtrl::SetColumnChoices(int column, const QStringList& choices,
                                         int initialChoice) {
  if (column < 0) return;
  ColumnAt(column).choices = choices;
  ColumnAt(column).initialChoice = initialChoice;
}

void CEditableListCtrl::mousePressEvent(QMouseEvent* e) {
  // A press long after the previous one starts a new gesture; remember which
  // row had the focus before this gesture's first click changes it.
  const qint64 now = static_cast<qint64>(e->timestamp());
  if (m_lastPressTime < 0 || now - m_lastPressTime > QApplication::doubleClickInterval()) {
    m_rowFocusedAtGesture = currentRow();
  }
  m_lastPressTime = now;
  QTableWidget::mousePressEvent(e);
}

void CEditableListCtrl::mouseDoubleClickEvent(QMouseEvent* e) {
  const QPoint pos = e->position().toPoint();
  const int row = rowAt(pos.y());
  const int column = columnAt(pos.x());
  const int focusedBefore = m_rowFocusedAtGesture;
  m_lastPressTime = -1;  // the next press starts a new gesture
  if (row < 0) return;
  if (row != focusedBefore) {
    setCurrentCell(row, std::max(column, 0));
    selectRow(row);
    m_rowFocusedAtGesture = row;
    return;
  }
  if (column < 0) return;
  EditCell(row, column);
}

QRect CEditableListCtrl::EditorRect(int row, int column) {
  scrollToItem(item(row, column) != nullptr ? item(row, column) : item(row, 0));
  QRect cell = visualRect(model()->index(row, column));
  const QRect client = viewport()->rect();
  if (cell.left() < client.left() || cell.left() > client.right()) {
    horizontalScrollBar()->setValue(horizontalScrollBar()->value() + cell.left());
    cell = visualRect(model()->index(row, column));
  }
  QRect r(cell.left() + kLeftInset, cell.top(), cell.width() - kLeftInset - kRightInset,
          cell.height());
  if (r.right() > client.right()) r.setRight(client.right());
  return r;
}

bool CEditableListCtrl::EditCell(int row, int column) {
  if (!m_editing || row < 0 || row >= rowCount() || column < 0 || column >= columnCount()) {
    return false;
  }
  if (column == 0 && !m_firstColumnEditable) return false;
  if (columnWidth(column) < kMinimumColumnWidth) return false;
  const Column spec = column < static_cast<int>(m_columns.size())
                          ? m_columns[static_cast<std::size_t>(column)]
                          : Column{};
  if (spec.kind != kEditBox && spec.kind != kDropDownList) return false;
  EndEdit();  // a running edit ends first

  const QRect rect = EditorRect(row, column);
  QTableWidgetItem* cell = item(row, column);
  const QString text = cell != nullptr ? cell->text() : QString();
  if (spec.kind == kEditBox) {
    auto* edit = new CInPlaceEdit(row, column, text, viewport());
    edit->setFont(font());
    const QVariant align = cell != nullptr ? cell->data(Qt::TextAlignmentRole) : QVariant();
    edit->setAlignment(align.isValid() ? Qt::Alignment(align.toInt()) & Qt::AlignHorizontal_Mask
                                       : Qt::Alignment(Qt::AlignLeft));
    edit->setGeometry(rect);
    connect(edit, &CInPlaceEdit::finished, this, &CEditableListCtrl::OnEditorFinished);
    m_editor = edit;
    edit->show();
    edit->selectAll();
    edit->setFocus();
  } else {
    auto* combo = new CInPlaceCombo(row, column, spec.choices, spec.initialChoice, viewport());
    combo->setFont(font());
    combo->setGeometry(rect);
    connect(combo, &CInPlaceCombo::finished, this, &CEditableListCtrl::OnEditorFinished);
    m_editor = combo;
    combo->show();
    combo->setFocus();
  }
  return true;
}

void CEditableListCtrl::OnEditorFinished(int row, int column, bool cancelled, const QString& text) {
  m_editor = nullptr;
  if (!cancelled && row < rowCount() && column < columnCount()) {
    QTableWidgetItem* cell = item(row, column);
    if (cell == nullptr) {
      cell = new QTableWidgetItem;
      setItem(row, column, cell);
    }
    cell->setText(text);
  }
  emit editFinished(row, column, cancelled, text);
}

void CEditableListCtrl::scrollContentsBy(int dx, int dy) {
  // Scrolling ends a running edit: the editor would otherwise float off its cell.
  EndEdit();
  QTableWidget::scrollContentsBy(dx, dy);
}

void CEditableListCtrl::EndEdit() {
  if (auto* edit = qobject_cast<CInPlaceEdit*>(m_editor)) {
    edit->Finish();
  } else if (auto* combo = qobject_cast<CInPlaceCombo*>(m_editor)) {
    combo->Finish();
  }
}
