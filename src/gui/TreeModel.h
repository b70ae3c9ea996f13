#pragma once
// A thin item model over a document's plain tree (CSelectionTree): rows are the
// tree's items, the display text and the check-box picture come from the item,
// and the item's code is available under CodeRole. The model neither owns nor
// changes the tree; the owner calls Reset after a rebuild and ImagesChanged
// after the images were refreshed.

#include <QAbstractItemModel>

class CSelectionTree;

class CTreeModel : public QAbstractItemModel {
  Q_OBJECT

 public:
  enum Role { CodeRole = Qt::UserRole + 1, ImageRole, ItemIdRole };

  // `tree` must outlive the model.
  explicit CTreeModel(const CSelectionTree& tree, QObject* parent = nullptr);

  QModelIndex index(int row, int column, const QModelIndex& parent = {}) const override;
  QModelIndex parent(const QModelIndex& child) const override;
  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

  // The tree item id of `index`, or -1 for the invisible root.
  int ItemId(const QModelIndex& index) const;
  QModelIndex IndexOfItem(int id) const;

  void Reset();
  // Tells the views that every item's picture may have changed.
  void ImagesChanged();

 private:
  const CSelectionTree& m_tree;
};
