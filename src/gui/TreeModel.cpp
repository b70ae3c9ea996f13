#include "gui/TreeModel.h"

#include "documents/TreeItems.h"
#include "gui/GuiText.h"
#include "gui/TreeImages.h"

CTreeModel::CTreeModel(const CSelectionTree& tree, QObject* parent)
    : QAbstractItemModel(parent), m_tree(tree) {}

int CTreeModel::ItemId(const QModelIndex& index) const {
  if (!index.isValid()) return -1;
  return static_cast<int>(index.internalId());
}

QModelIndex CTreeModel::IndexOfItem(int id) const {
  if (id < 0 || id >= m_tree.Count()) return {};
  return createIndex(m_tree.Item(id).row, 0, static_cast<quintptr>(id));
}

QModelIndex CTreeModel::index(int row, int column, const QModelIndex& parent) const {
  if (column != 0 || row < 0 || m_tree.Empty()) return {};
  if (!parent.isValid()) return row == 0 ? IndexOfItem(0) : QModelIndex();
  const auto& children = m_tree.Item(ItemId(parent)).children;
  if (row >= static_cast<int>(children.size())) return {};
  return createIndex(row, 0, static_cast<quintptr>(children[static_cast<std::size_t>(row)]));
}

QModelIndex CTreeModel::parent(const QModelIndex& child) const {
  if (!child.isValid()) return {};
  return IndexOfItem(m_tree.Item(ItemId(child)).parent);
}

int CTreeModel::rowCount(const QModelIndex& parent) const {
  if (m_tree.Empty()) return 0;
  if (!parent.isValid()) return 1;
  if (parent.column() != 0) return 0;
  return static_cast<int>(m_tree.Item(ItemId(parent)).children.size());
}

int CTreeModel::columnCount(const QModelIndex&) const {
  return 1;
}

QVariant CTreeModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid()) return {};
  const CTreeItem& item = m_tree.Item(ItemId(index));
  switch (role) {
    case Qt::DisplayRole:
      return ToQ(item.text);
    case Qt::DecorationRole:
      return TreeImageIcon(item.image);
    case CodeRole:
      return QVariant::fromValue<qulonglong>(item.code);
    case ImageRole:
      return item.image;
    case ItemIdRole:
      return ItemId(index);
    default:
      return {};
  }
}

void CTreeModel::Reset() {
  beginResetModel();
  endResetModel();
}

void CTreeModel::ImagesChanged() {
  if (m_tree.Empty()) return;
  const QList<int> roles{Qt::DecorationRole, ImageRole};
  const QModelIndex root = IndexOfItem(0);
  emit dataChanged(root, root, roles);
  // One signal per run of siblings, not one per item.
  for (int id = 0; id < m_tree.Count(); ++id) {
    const auto& children = m_tree.Item(id).children;
    if (children.empty()) continue;
    emit dataChanged(IndexOfItem(children.front()), IndexOfItem(children.back()), roles);
  }
}
