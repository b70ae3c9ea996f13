#pragma once
// The 3-D view of a recording at the document's current frame: the markers
// as shaded dots, a floor grid and the axes, the force platforms' outlines
// and the ground-reaction vectors, drawn with QPainter from the scene and
// camera of the documents layer.
//
// Mouse: a left drag orbits, a right or middle drag pans, the wheel zooms, a
// double-click fits everything in view; hovering a marker names it and a click
// chooses it (Ctrl-click adds it), a right click offers the picture exports.
// Keys: F fits, 1, 2 and 3 look along X, Y and Z; Space and the arrows play
// and step through the document's time cursor.

#include <QHash>
#include <QPixmap>
#include <QWidget>
#include <vector>

#include "documents/Scene3d.h"

class CFrameCursor;

class CSceneView : public QWidget {
  Q_OBJECT

 public:
  // Borrows `scene` and `cursor`, which must outlive the view.
  CSceneView(const CScene& scene, CFrameCursor* cursor, QWidget* parent = nullptr);

  // Setting the camera from outside keeps it: resizing no longer refits.
  CCamera& Camera() {
    m_cameraMoved = true;
    return m_camera;
  }
  const CScene& Scene() const { return m_scene; }
  void FitAll();
  // The markers drawn highlighted (chosen in the tree).
  void SetHighlighted(const std::vector<int>& points);
  const std::vector<unsigned char>& Highlighted() const { return m_highlighted; }
  // The marker drawn nearest widget point `at` within a few pixels at the
  // current frame, or -1.
  int MarkerAt(const QPointF& at) const;
  int Hovered() const { return m_hover; }
  // Millimetres the ground-reaction vector is drawn per newton.
  float ForceScale() const { return m_forceScale; }
  // The name pictures are proposed under.
  void SetPictureName(const QString& name) { m_pictureName = name; }

  QSize sizeHint() const override { return {480, 400}; }

 signals:
  // A click on marker j; `add` when Ctrl was held.
  void MarkerClicked(int j, bool add);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void leaveEvent(QEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  struct CDrawnMarker {
    int index;
    float x, y, depth, radius;
  };
  // The markers of the current frame that lie in front of the camera, far
  // ones first.
  std::vector<CDrawnMarker> ProjectMarkers() const;
  const QPixmap& Sprite(int diameter, bool highlighted);
  void DrawGrid(QPainter& p) const;
  void DrawAxes(QPainter& p) const;
  void DrawPlates(QPainter& p) const;

  const CScene& m_scene;
  CFrameCursor* m_cursor;
  CCamera m_camera;
  float m_forceScale = 1.0f;
  float m_gridStep = 500.0f;
  CBounds m_floor;
  std::vector<unsigned char> m_highlighted;
  mutable std::vector<CVec3> m_places;
  mutable std::vector<unsigned char> m_valid;
  QHash<int, QPixmap> m_sprites;
  int m_hover = -1;
  QString m_pictureName;

  Qt::MouseButton m_button = Qt::NoButton;
  QPointF m_pressAt;
  QPointF m_lastAt;
  bool m_moved = false;
  bool m_cameraMoved = false;  // by the user: no more fitting on resize
};
