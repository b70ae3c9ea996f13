#include "gui/ChildFrame.h"

#include <QCloseEvent>
#include <QFileDialog>
#include <QHeaderView>
#include <QKeyEvent>
#include <QSplitter>
#include <QTreeView>
#include <QVBoxLayout>

#include "documents/DocumentTree.h"
#include "documents/ItemDetails.h"
#include "documents/RecordingEvents.h"
#include "documents/Scene3d.h"
#include "gui/DetailsPane.h"
#include "gui/FrameCursor.h"
#include "gui/FramesDlg.h"
#include "gui/GuiText.h"
#include "gui/SceneView.h"
#include "gui/SignalPlot.h"
#include "gui/TimeBar.h"
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
  m_splitter = new QSplitter(Qt::Horizontal, this);
  m_view = new QTreeView(m_splitter);
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
  // Several channels and points can be chosen for the plot; the check marks
  // stay with double-clicks and Space, which never look at this selection.
  m_view->setSelectionMode(QAbstractItemView::ExtendedSelection);
  m_view->installEventFilter(this);
  connect(m_view, &QTreeView::doubleClicked, this, &CChildFrame::DoubleClickItem);
  connect(m_view->selectionModel(), &QItemSelectionModel::currentChanged, this,
          &CChildFrame::UpdatePane);
  connect(m_view->selectionModel(), &QItemSelectionModel::selectionChanged, this,
          &CChildFrame::UpdatePane);

  // Right of the tree: the pane and the 3-D view side by side, the time bar
  // under both.
  const CRecording& rec = m_doc->Reader();
  auto* views = new QWidget(m_splitter);
  m_viewSplitter = new QSplitter(Qt::Horizontal, views);
  m_pane = new CDetailsPane(m_viewSplitter);
  m_viewSplitter->addWidget(m_pane);
  m_cursor = new CFrameCursor(this);
  m_cursor->SetRecording(rec.firstFrame, rec.lastFrame, PlotFrameRate(rec, m_doc->Description()));
  m_cursor->SetRange(m_doc->Selection().rangeFirst, m_doc->Selection().rangeLast);
  if (m_doc->Description().hasPoints && rec.PointCount() > 0) {
    m_scene = std::make_unique<CScene>(CScene::FromRecording(rec, m_doc->Description()));
    m_sceneView = new CSceneView(*m_scene, m_cursor, m_viewSplitter);
    m_sceneView->SetPictureName(PathToQ(Path().stem()) + "-3d");
    m_viewSplitter->addWidget(m_sceneView);
    m_viewSplitter->setStretchFactor(0, 1);
    m_viewSplitter->setStretchFactor(1, 1);
    m_viewSplitter->setSizes({600, 600});  // the pane and the view share the room
    connect(m_sceneView, &CSceneView::MarkerClicked, this, &CChildFrame::ChoosePoint);
  }
  m_viewSplitter->setChildrenCollapsible(false);
  m_timeBar = new CTimeBar(m_cursor, views);
  const std::vector<CEventMark> marks = EventMarks(RecordingEvents(rec, m_doc->Description()));
  m_timeBar->SetEvents(marks);
  m_timeBar->setVisible(rec.FrameCount() > 0);
  m_pane->SetEvents(marks);
  m_pane->Plot()->SetPictureName(PathToQ(Path().stem()) + "-plot");
  auto* viewsLayout = new QVBoxLayout(views);
  viewsLayout->setContentsMargins(0, 0, 0, 0);
  viewsLayout->setSpacing(0);
  viewsLayout->addWidget(m_viewSplitter, 1);
  viewsLayout->addWidget(m_timeBar);

  m_splitter->addWidget(m_view);
  m_splitter->addWidget(views);
  m_splitter->setStretchFactor(0, 1);
  m_splitter->setStretchFactor(1, m_sceneView != nullptr ? 4 : 2);
  m_splitter->setSizes({300, m_sceneView != nullptr ? 1200 : 600});
  m_splitter->setChildrenCollapsible(false);
  connect(m_pane->Plot(), &CSignalPlot::FrameRangeChosen, this, &CChildFrame::SetFrameRange);
  connect(m_pane->Plot(), &CSignalPlot::CursorMoved, m_cursor, [this](int frame) {
    m_cursor->SetPlaying(false);
    m_cursor->SetFrame(frame);
  });
  connect(m_cursor, &CFrameCursor::FrameChanged, m_pane, &CDetailsPane::SetCursorFrame);

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(m_splitter);

  if (UpdateTree(m_tree, *m_doc, FromQ(Title()))) m_model->Reset();
  m_view->setCurrentIndex(m_model->IndexOfItem(0));
}

CChildFrame::~CChildFrame() {
  // The model reads the tree and the plot the samples; detach both before
  // they go.
  m_cursor->SetPlaying(false);
  m_pane->Clear();
  disconnect(m_view->selectionModel(), nullptr, this, nullptr);
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

void CChildFrame::UpdatePane() {
  if (m_closed) return;
  std::vector<int> chosen;
  for (const QModelIndex& index : m_view->selectionModel()->selectedIndexes()) {
    chosen.push_back(m_model->ItemId(index));
  }
  const CRecording& rec = m_doc->Reader();
  m_pane->Show(DescribeItems(rec, m_doc->Description(), m_tree,
                             m_model->ItemId(m_view->currentIndex()), chosen),
               PlotFrameRate(rec, m_doc->Description()), rec.firstFrame, rec.FrameCount());
  m_pane->SetFrameRange(m_doc->Selection().rangeFirst, m_doc->Selection().rangeLast);
  m_pane->SetCursorFrame(m_cursor->Frame());
  if (m_sceneView != nullptr) {
    std::vector<int> points;
    for (const int id : chosen) {
      if (id < 0 || id >= m_tree.Count()) continue;
      const CTreeItem& item = m_tree.Item(id);
      if (item.kind == TreeItemKind::Point) points.push_back(item.index);
    }
    m_sceneView->SetHighlighted(points);
  }
}

void CChildFrame::ChoosePoint(int j, bool add) {
  for (int id = 0; id < m_tree.Count(); ++id) {
    const CTreeItem& item = m_tree.Item(id);
    if (item.kind != TreeItemKind::Point || item.index != j) continue;
    const QModelIndex index = m_model->IndexOfItem(id);
    m_view->scrollTo(index);
    m_view->selectionModel()->setCurrentIndex(
        index, add ? QItemSelectionModel::Select : QItemSelectionModel::ClearAndSelect);
    return;
  }
}

bool CChildFrame::SetFrameRange(long long first, long long last) {
  if (!m_doc->SetFrameRange(first, last)) return false;
  m_pane->SetFrameRange(m_doc->Selection().rangeFirst, m_doc->Selection().rangeLast);
  m_cursor->SetRange(m_doc->Selection().rangeFirst, m_doc->Selection().rangeLast);
  return true;
}

bool CChildFrame::eventFilter(QObject* watched, QEvent* event) {
  // Space toggles the current item's check mark as a double-click does.
  if (watched == m_view && event->type() == QEvent::KeyPress) {
    const auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() == Qt::Key_Space && key->modifiers() == Qt::NoModifier) {
      DoubleClickItem(m_view->currentIndex());
      return true;
    }
  }
  return QWidget::eventFilter(watched, event);
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
  SetFrameRange(dlg.First(), dlg.Last());
}

void CChildFrame::closeEvent(QCloseEvent* event) {
  if (!m_closed) {
    m_cursor->SetPlaying(false);
    m_pane->Clear();
    m_closed = true;
    m_doc->OnCloseDocument();
  }
  event->accept();
}
