#pragma once
// One document window: it owns its document (and with it the reader and the
// export selection) and shows the document's tree beside a details pane.
// Double-clicks on the tree, and Space on its current item, edit the
// selection through the document layer; the pane follows the current item
// and plots every chosen channel and point (Ctrl/Shift-click), and a
// Shift-drag on its plot sets the frame range. A recording with points has
// a 3-D view beside the pane; a time bar under both plays the recording and
// moves the one time cursor the views share. The window only draws.
// Closing the window closes the document.

#include <QWidget>
#include <filesystem>
#include <memory>

#include "documents/DocumentBase.h"
#include "documents/FormatRegistry.h"
#include "documents/TreeItems.h"

class QSplitter;
class QTreeView;
class CDetailsPane;
class CFrameCursor;
class CScene;
class CSceneView;
class CTimeBar;
class CTreeModel;

class CChildFrame : public QWidget {
  Q_OBJECT

 public:
  // `doc` is open already; `type` is its registration entry.
  CChildFrame(std::unique_ptr<CDocumentBase> doc, const CFormatEntry& type,
              QWidget* parent = nullptr);
  ~CChildFrame() override;

  CDocumentBase& Document() { return *m_doc; }
  const CDocumentBase& Document() const { return *m_doc; }
  const CFormatEntry& Type() const { return m_type; }
  // The full path of the file shown, and the title (its file name).
  const std::filesystem::path& Path() const { return m_doc->Reader().fileName; }
  QString Title() const;

  const CSelectionTree& Tree() const { return m_tree; }
  CTreeModel* Model() const { return m_model; }
  QTreeView* View() const { return m_view; }
  CDetailsPane* Pane() const { return m_pane; }
  // The time cursor every view of the document follows, the bar under the
  // views and the 3-D view (null for a recording without points).
  CFrameCursor* Cursor() const { return m_cursor; }
  CTimeBar* TimeBar() const { return m_timeBar; }
  CSceneView* SceneView() const { return m_sceneView; }

  // The double-click on the item at `index` of the model (invalid: no item).
  void DoubleClickItem(const QModelIndex& index);

  // The document commands.
  void OnFileSave();
  void OnFileSaveAs();
  // Runs Save As with a name already chosen and the filter picked (0 DST,
  // 1 text, 2 C3D when the document writes it).
  void SaveAsChosen(const QString& path, int filterIndex);
  void OnFrames();
  // The frame range a Shift-drag on the plot chose, under the rule of the
  // Frames command; false (nothing changed) when it breaks it.
  bool SetFrameRange(long long first, long long last);

  // Shows the current item and the chosen ones in the pane; again after the
  // document's settings changed (an ADC document's scale and rates).
  void UpdatePane();

  // The Save As filter list of this document.
  QStringList SaveAsFilters() const;

  // Makes point j the tree's current item; with `add` it joins the chosen
  // ones instead of replacing them.
  void ChoosePoint(int j, bool add);

 protected:
  void closeEvent(QCloseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  std::unique_ptr<CDocumentBase> m_doc;
  const CFormatEntry& m_type;
  CSelectionTree m_tree;
  CTreeModel* m_model;
  QTreeView* m_view;
  QSplitter* m_splitter;
  CDetailsPane* m_pane;
  CFrameCursor* m_cursor;
  CTimeBar* m_timeBar;
  std::unique_ptr<CScene> m_scene;
  CSceneView* m_sceneView = nullptr;
  QSplitter* m_viewSplitter;
  bool m_closed = false;
};
