#include "gui/ChildFrame.h"

#include <QCloseEvent>
#include <QFileDialog>
#include <QHeaderView>
#include <QTreeView>
#include <QVBoxLayout>

#include "documents/DocumentTree.h"
#include "gui/FramesDlg.h"
#include "gui/GuiText.h"
#include "gui/TreeImages.h"
#include "gui/TreeLineStyle.h"
#include "gui/TreeModel.h"

namespace {

constexpr const char* kSaveAsTitle = "Save As";

}  // namespace

CChildFrame::CChildFrame(std::unique_ptr<CDocumentBase> doc, const CFormatEntry& type,
                         QWidget* parent)
    : QWidget(parent), m_doc(std::move(doc)), m_type(type) {
  setWindowTitle(Title());
  m_model = new CTreeModel(m_tree, this);
  m_view = new QTreeView(this);
  m_view->setHeaderHidden(true);
  m_view->setRootIsDecorated(true);
  m_view->setUniformRowHeights(true);
  m_view->setEditTriggers(QAbstractItemView::NoEditTriggers);
  m_view->setIconSize(QSize(kTreeImageSize, kTreeImageSize));
  // The view keeps its style as a child, so that the two go together.
  auto* lines = new CTreeLineStyle;
  lines->setParent(m_view);
  m_view->setStyle(lines);
  m_view->setModel(m_model);
  // The view expands or collapses a double-clicked branch itself, after the
  // selection was toggled.
  m_view->setExpandsOnDoubleClick(true);
  connect(m_view, &QTreeView::doubleClicked, this, &CChildFrame::DoubleClickItem);

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(m_view);

  if (UpdateTree(m_tree, *m_doc, FromQ(Title()))) m_model->Reset();
}

CChildFrame::~CChildFrame() {
  // The model reads the tree; detach it before the tree goes.
  m_view->setModel(nullptr);
  if (!m_closed) m_doc->OnCloseDocument();
}

QString CChildFrame::Title() const {
  return PathToQ(Path().filename());
}

void CChildFrame::DoubleClickItem(const QModelIndex& index) {
  const ToggleEffect effect = OnTreeDblclk(m_tree, *m_doc, m_model->ItemId(index));
  if (effect != ToggleEffect::None) m_model->ImagesChanged();
}

void CChildFrame::OnFileSave() {
  m_doc->OnFileSave();
}

QStringList CChildFrame::SaveAsFilters() const {
  QStringList filters;
  for (const CSaveAsChoice& c : SaveAsChoices(m_doc->Description())) filters << c.filter;
  return filters;
}

void CChildFrame::OnFileSaveAs() {
  // The proposed name: the input path without its extension.
  std::filesystem::path proposed = Path();
  proposed.replace_extension();
  QFileDialog dialog(this, kSaveAsTitle, PathToQ(proposed));
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setFileMode(QFileDialog::AnyFile);
  // The writers ask before overwriting; the dialog must not ask as well, and
  // must not add an extension of its own (an added one is decided below).
  dialog.setOption(QFileDialog::DontConfirmOverwrite, true);
  const QStringList filters = SaveAsFilters();
  dialog.setNameFilters(filters);
  dialog.selectNameFilter(filters.value(m_doc->Settings().exportTo != 0 ? 1 : 0));
  dialog.selectFile(PathToQ(proposed));
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return;
  SaveAsChosen(dialog.selectedFiles().front(),
               static_cast<int>(filters.indexOf(dialog.selectedNameFilter())));
}

void CChildFrame::SaveAsChosen(const QString& path, int filterIndex) {
  const std::vector<CSaveAsChoice> choices = SaveAsChoices(m_doc->Description());
  const bool known = filterIndex >= 0 && static_cast<std::size_t>(filterIndex) < choices.size();
  m_doc->SaveAs(PathFromQ(path),
                known ? choices[static_cast<std::size_t>(filterIndex)].kind : ExportKind::Dst);
}

void CChildFrame::OnFrames() {
  CFramesDlg dlg(this);
  dlg.SetInfo(m_doc->RangeMinimum(), m_doc->RangeMaximum());
  dlg.SetLimits(m_doc->RangeMinimum(), m_doc->RangeMaximum());
  dlg.SetRange(m_doc->Selection().rangeFirst, m_doc->Selection().rangeLast);
  if (dlg.exec() != QDialog::Accepted) return;
  m_doc->SetFrameRange(dlg.First(), dlg.Last());
}

void CChildFrame::closeEvent(QCloseEvent* event) {
  if (!m_closed) {
    m_closed = true;
    m_doc->OnCloseDocument();
  }
  event->accept();
}
