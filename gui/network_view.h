// The picture of the network: buses at the positions of their layout,
// coloured by nodal price, generators as squares; lines drawn by loading,
// binding lines in red. Wheel to zoom, drag to pan, hover for the values,
// click to choose a bus or line (the results window selects its row).
#pragma once

#include <QByteArray>
#include <QGraphicsView>
#include <QString>
#include <memory>
#include <vector>

#include "corvo/colour_scale.hpp"
#include "corvo/network_layout.hpp"
#include "corvo/report/results.hpp"

class QGraphicsItem;

class NetworkView : public QGraphicsView {
  Q_OBJECT

 public:
  explicit NetworkView(QWidget* parent = nullptr);

  // Draws `results` at the positions of `layout` (one position per bus of
  // the results). Replaces what was shown. The elements are put in place a
  // few thousand per turn of the event loop, so that a network of 10 000
  // buses never holds the window up; anything that needs them all (a
  // selection, a tooltip, an export) finishes the drawing first.
  void ShowNetwork(std::shared_ptr<const corvo::NetworkLayout> layout,
                   std::shared_ptr<const corvo::report::Results> results);
  // Puts every element still waiting in place now.
  void FinishDrawing();
  bool IsDrawing() const { return drawing_; }
  // A text instead of the picture ("Desenhando a rede…").
  void ShowMessage(const QString& message);
  bool HasNetwork() const { return results_ != nullptr; }
  // The prices the colours span.
  const corvo::PriceRange& Prices() const { return prices_; }

  // Selects a bus or line as a click does, and brings it into view, without
  // telling anyone (the caller already knows).
  void SelectBus(int bus);
  void SelectLine(int line);
  int SelectedBus();   // 0 when none
  int SelectedLine();  // 0 when none

  // Where a bus or the middle of a line is in the scene (for the tests and
  // for centring).
  QPointF BusPosition(int bus);
  QPointF LineMiddle(int line);
  // The tooltip shown over `scene_point` (empty over nothing).
  QString ToolTipAt(const QPointF& scene_point);

  // The whole picture with its legend, as PNG or SVG bytes.
  QByteArray PictureAsPng();
  QByteArray PictureAsSvg();

  // Zooms by `factor` around the centre of the view.
  void Zoom(double factor);

 signals:
  // The user chose a bus or a line in the picture.
  void busChosen(int bus);
  void lineChosen(int line);

 protected:
  void wheelEvent(QWheelEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  bool viewportEvent(QEvent* event) override;
  void drawForeground(QPainter* painter, const QRectF& rect) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  void start_drawing();
  void add_batch(int drawing);
  // Adds up to `count` of the elements still waiting; true when all are in.
  bool add_elements(std::size_t count);
  void select_item(QGraphicsItem* item, bool bring_into_view);
  // The bus or line a pointer at `scene_point` means: a bus under it, or
  // else the nearest element within a few pixels.
  QGraphicsItem* item_near(const QPointF& scene_point);
  QSize picture_size() const;
  void paint_picture(QPainter& painter, const QSize& size);

  std::shared_ptr<const corvo::NetworkLayout> layout_;
  std::shared_ptr<const corvo::report::Results> results_;
  corvo::PriceRange prices_;
  std::vector<QGraphicsItem*> bus_items_;   // entry i for bus i + 1
  std::vector<QGraphicsItem*> line_items_;  // entry l for line l + 1
  std::vector<bool> generator_;  // entry i: bus i + 1 has a generator
  double bus_radius_ = 1.0;
  std::size_t lines_added_ = 0;
  std::size_t buses_added_ = 0;
  bool drawing_ = false;  // elements still waiting
  int drawings_ = 0;      // counts the drawings started, to drop stale batches
  QString message_;
  bool fitted_ = false;
};

// The legend of the picture: the colour scale with its prices in $/MWh,
// and what the line strokes mean, painted in `area` (device coordinates).
void paint_legend(QPainter& painter, const QRectF& area, const corvo::PriceRange& prices);

// The legend shown under the picture in the window (the exported pictures
// carry it in the picture itself).
class PriceLegend : public QWidget {
  Q_OBJECT

 public:
  explicit PriceLegend(QWidget* parent = nullptr);
  void SetPrices(const corvo::PriceRange& prices);
  void Clear();

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  corvo::PriceRange prices_;
  bool shown_ = false;
};
