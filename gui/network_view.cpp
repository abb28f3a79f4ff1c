#include "network_view.h"

#include <QBuffer>
#include <QGraphicsItem>
#include <QGraphicsScene>
#include <QHelpEvent>
#include <QImage>
#include <QMouseEvent>
#include <QLinearGradient>
#include <QPainter>
#include <QScrollBar>
#include <QStyleOptionGraphicsItem>
#include <QSvgGenerator>
#include <QToolTip>
#include <QTimer>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>

#include "corvo/number_text.hpp"
#include "corvo/results_summary.hpp"

namespace {

using corvo::report::BusRow;
using corvo::report::LineRow;

constexpr int kBusItem = QGraphicsItem::UserType + 1;
constexpr int kLineItem = QGraphicsItem::UserType + 2;
constexpr double kWheelStep = 1.15;
constexpr int kLegendWidth = 300;
constexpr int kLegendHeight = 104;
constexpr int kLongestPictureSide = 2400;
constexpr double kPickPixels = 4.0;
// Elements put in place per turn of the event loop: a few milliseconds.
constexpr std::size_t kElementsPerTurn = 2000;
constexpr std::size_t kAntialiasedBuses = 3000;

QColor colour(const corvo::Rgb& rgb) { return QColor(rgb.r, rgb.g, rgb.b); }

QString price(double value) { return QString::fromStdString(corvo::table_number_text(value, 4, ',')); }
QString megawatts(double value) { return QString::fromStdString(corvo::table_number_text(value, 2, ',')); }

// A bus: a disc, or a square for a bus with a generator; its fill is its
// price on the scale; a chosen bus gets a thick dark ring.
class BusItem : public QGraphicsItem {
 public:
  BusItem(int bus, double radius, bool generator, const QColor& fill)
      : bus_(bus), radius_(radius), generator_(generator), fill_(fill) {
    setFlag(ItemIsSelectable);
    setZValue(2.0);
  }
  int type() const override { return kBusItem; }
  int bus() const { return bus_; }
  QRectF boundingRect() const override {
    const double r = radius_ * 1.6;
    return {-r, -r, 2 * r, 2 * r};
  }
  void paint(QPainter* painter, const QStyleOptionGraphicsItem*, QWidget*) override {
    QPen outline(isSelected() ? QColor(0, 0, 0) : QColor(40, 40, 40));
    outline.setCosmetic(true);
    outline.setWidthF(isSelected() ? 3.5 : 1.0);
    painter->setPen(outline);
    painter->setBrush(fill_);
    const QRectF box(-radius_, -radius_, 2 * radius_, 2 * radius_);
    if (generator_) {
      painter->drawRect(box);
    } else {
      painter->drawEllipse(box);
    }
    if (isSelected()) {
      QPen ring(QColor(220, 0, 120));
      ring.setCosmetic(true);
      ring.setWidthF(2.5);
      painter->setPen(ring);
      painter->setBrush(Qt::NoBrush);
      const double r = radius_ * 1.5;
      painter->drawEllipse(QRectF(-r, -r, 2 * r, 2 * r));
    }
  }

 private:
  int bus_;
  double radius_;
  bool generator_;
  QColor fill_;
};

// A line, with a cosmetic pen so that it keeps its width in pixels at every
// zoom; a chosen line is drawn over a wide dark band.
class LineItem : public QGraphicsLineItem {
 public:
  LineItem(int line, const QLineF& segment, const corvo::LineStroke& stroke) : QGraphicsLineItem(segment), line_(line) {
    QPen pen(colour(stroke.colour));
    pen.setCosmetic(true);
    pen.setWidthF(stroke.width);
    pen.setCapStyle(Qt::RoundCap);
    setPen(pen);
    setFlag(ItemIsSelectable);
    setZValue(stroke.binding ? 1.0 : 0.0);
  }
  int type() const override { return kLineItem; }
  int number() const { return line_; }
  void paint(QPainter* painter, const QStyleOptionGraphicsItem* option, QWidget* widget) override {
    if (isSelected()) {
      QPen band(QColor(220, 0, 120));
      band.setCosmetic(true);
      band.setWidthF(pen().widthF() + 6.0);
      painter->setPen(band);
      painter->drawLine(line());
    }
    QStyleOptionGraphicsItem plain(*option);
    plain.state &= ~QStyle::State_Selected;  // no dashed selection box
    QGraphicsLineItem::paint(painter, &plain, widget);
  }
 private:
  int line_;
};

// The median length of the lines in the layout: the scale of the picture,
// which sizes the buses.
double typical_line_length(const corvo::NetworkLayout& layout, const std::vector<LineRow>& lines) {
  std::vector<double> lengths;
  for (const LineRow& l : lines) {
    const auto n = static_cast<int>(layout.bus_positions.size());
    if (l.from < 1 || l.to < 1 || l.from > n || l.to > n || l.from == l.to) continue;
    const corvo::Point& a = layout.bus_positions[static_cast<std::size_t>(l.from) - 1];
    const corvo::Point& b = layout.bus_positions[static_cast<std::size_t>(l.to) - 1];
    const double length = std::hypot(a.x - b.x, a.y - b.y);
    if (length > 0.0) lengths.push_back(length);
  }
  if (lengths.empty()) return 72.0;
  std::nth_element(lengths.begin(), lengths.begin() + static_cast<std::ptrdiff_t>(lengths.size() / 2),
                   lengths.end());
  return lengths[lengths.size() / 2];
}

QString bus_tip(const BusRow& b, bool generator) {
  static const char* const kinds[] = {"carga", "geração", "referência", "geração negativa"};
  const QString kind = b.type >= 0 && b.type <= 3 ? QString::fromUtf8(kinds[b.type]) : QString::number(b.type);
  QString tip = QStringLiteral("Barra %1 (%2)\nLMP: %3 $/MWh\nEnergia: %4 $/MWh\nCongestionamento: %5 $/MWh\nCarga: %6 MW")
                    .arg(b.bus)
                    .arg(kind, price(b.lmp), price(b.energy), price(b.congestion), megawatts(b.load_mw));
  if (generator) tip += QStringLiteral("\nGeração: %1 MW").arg(megawatts(b.generation_mw));
  return tip;
}

QString line_tip(const LineRow& l) {
  QString tip = QStringLiteral("Ramo %1: barra %2 → barra %3\nFluxo: %4 MW\nLimites: %5 a %6 MW\nCarregamento: %7 %")
                    .arg(l.line)
                    .arg(l.from)
                    .arg(l.to)
                    .arg(megawatts(l.flow_mw), megawatts(l.lower_mw), megawatts(l.upper_mw),
                         QString::fromStdString(corvo::table_number_text(l.loading_percent, 1, ',')));
  if (l.binding != corvo::report::AtLimit::none) {
    tip += QStringLiteral("\nNo limite %1; preço sombra: %2 $/MWh")
               .arg(QString::fromStdString(corvo::limit_name(l.binding)), price(l.shadow_price));
  }
  return tip;
}

}  // namespace

NetworkView::NetworkView(QWidget* parent) : QGraphicsView(parent) {
  setObjectName(QStringLiteral("NetworkPicture"));
  setScene(new QGraphicsScene(this));
  setRenderHint(QPainter::Antialiasing);
  setDragMode(QGraphicsView::ScrollHandDrag);
  setTransformationAnchor(QGraphicsView::AnchorUnderMouse);
  setViewportUpdateMode(QGraphicsView::SmartViewportUpdate);
  setOptimizationFlags(QGraphicsView::DontSavePainterState);
  setBackgroundBrush(Qt::white);
}

void NetworkView::ShowMessage(const QString& message) {
  drawing_ = false;
  viewport()->setUpdatesEnabled(true);
  scene()->clear();
  bus_items_.clear();
  line_items_.clear();
  layout_.reset();
  results_.reset();
  message_ = message;
  viewport()->update();
}

void NetworkView::ShowNetwork(std::shared_ptr<const corvo::NetworkLayout> layout,
                              std::shared_ptr<const corvo::report::Results> results) {
  layout_ = std::move(layout);
  results_ = std::move(results);
  message_.clear();
  start_drawing();
  fitted_ = false;
  resetTransform();
  fitInView(scene()->sceneRect(), Qt::KeepAspectRatio);
  fitted_ = true;
}

void NetworkView::start_drawing() {
  scene()->clear();
  const std::vector<BusRow>& buses = results_->buses;
  const std::size_t known = layout_->bus_positions.size();
  std::vector<double> lmps;
  lmps.reserve(buses.size());
  for (const BusRow& b : buses) lmps.push_back(b.lmp);
  prices_ = corvo::price_range(lmps);
  generator_.assign(known, false);
  for (const corvo::report::GeneratorRow& g : results_->generators) {
    if (g.bus >= 1 && static_cast<std::size_t>(g.bus) <= known) generator_[static_cast<std::size_t>(g.bus) - 1] = true;
  }
  bus_radius_ = 0.16 * typical_line_length(*layout_, results_->lines);
  bus_items_.assign(buses.size(), nullptr);
  line_items_.assign(results_->lines.size(), nullptr);
  lines_added_ = buses_added_ = 0;

  // No index: the scene is built once and walked in full at each paint or
  // hover, which costs a few milliseconds on 25 000 elements, while an
  // index would have to be rebuilt after every added batch.
  scene()->setItemIndexMethod(QGraphicsScene::NoIndex);
  const double margin = bus_radius_ * 3.0;
  scene()->setSceneRect(-margin, -margin, layout_->width + 2 * margin, layout_->height + 2 * margin);
  // Antialiasing doubles the time of a paint; on a large network, drawn
  // with elements a few pixels wide, it shows no difference.
  setRenderHint(QPainter::Antialiasing, buses.size() <= kAntialiasedBuses);
  // One paint when everything is in, instead of one per batch.
  viewport()->setUpdatesEnabled(false);
  drawing_ = true;
  const int drawing = ++drawings_;
  QTimer::singleShot(0, this, [this, drawing] { add_batch(drawing); });
}

// One batch, then the next in the next turn of the event loop, until all
// elements are in or a newer drawing (or a message) took over.
void NetworkView::add_batch(int drawing) {
  if (!drawing_ || drawing != drawings_) return;
  if (!add_elements(kElementsPerTurn)) {
    QTimer::singleShot(0, this, [this, drawing] { add_batch(drawing); });
  }
}

bool NetworkView::add_elements(std::size_t count) {
  const auto& positions = layout_->bus_positions;
  // Graphviz puts y up; the scene puts it down.
  const auto at = [this, &positions](std::int64_t bus) {
    const corvo::Point& p = positions[static_cast<std::size_t>(bus) - 1];
    return QPointF(p.x, layout_->height - p.y);
  };
  const auto known = [&positions](std::int64_t bus) {
    return bus >= 1 && static_cast<std::size_t>(bus) <= positions.size();
  };
  const std::vector<LineRow>& lines = results_->lines;
  const std::vector<BusRow>& buses = results_->buses;
  for (; count > 0 && lines_added_ < lines.size(); --count, ++lines_added_) {
    const LineRow& l = lines[lines_added_];
    if (!known(l.from) || !known(l.to)) continue;
    auto* item = new LineItem(static_cast<int>(l.line), QLineF(at(l.from), at(l.to)),
                              corvo::line_stroke(l.loading_percent, l.binding));
    scene()->addItem(item);
    line_items_[lines_added_] = item;
  }
  for (; count > 0 && buses_added_ < buses.size(); --count, ++buses_added_) {
    const BusRow& b = buses[buses_added_];
    if (!known(b.bus)) continue;
    auto* item = new BusItem(static_cast<int>(b.bus), bus_radius_, generator_[static_cast<std::size_t>(b.bus) - 1],
                             colour(corvo::price_colour(prices_, b.lmp)));
    item->setPos(at(b.bus));
    scene()->addItem(item);
    bus_items_[buses_added_] = item;
  }
  drawing_ = lines_added_ < lines.size() || buses_added_ < buses.size();
  if (!drawing_) {
    viewport()->setUpdatesEnabled(true);
    viewport()->update();
  }
  return !drawing_;
}

void NetworkView::FinishDrawing() {
  if (drawing_) add_elements(static_cast<std::size_t>(-1));
}

void NetworkView::select_item(QGraphicsItem* item, bool bring_into_view) {
  scene()->clearSelection();
  if (item != nullptr) {
    item->setSelected(true);
    if (bring_into_view) centerOn(item->sceneBoundingRect().center());
  }
}

QGraphicsItem* NetworkView::item_near(const QPointF& scene_point) {
  if (!results_) return nullptr;
  FinishDrawing();
  // Lines are a pixel or two wide: anything within a few pixels counts.
  const double reach = kPickPixels / std::max(transform().m11(), 1e-12);
  const QRectF around(scene_point.x() - reach, scene_point.y() - reach, 2 * reach, 2 * reach);
  QGraphicsItem* bus = nullptr;
  QGraphicsItem* line = nullptr;
  for (QGraphicsItem* item : scene()->items(around, Qt::IntersectsItemShape, Qt::DescendingOrder)) {
    if (item->type() == kBusItem) {
      if (item->contains(item->mapFromScene(scene_point))) return item;
      if (bus == nullptr) bus = item;
    } else if (item->type() == kLineItem && line == nullptr) {
      line = item;
    }
  }
  // A bus near the point wins over a line through it.
  return bus != nullptr ? bus : line;
}

void NetworkView::mousePressEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) {
    if (QGraphicsItem* item = item_near(mapToScene(event->position().toPoint()))) {
      select_item(item, false);
      if (item->type() == kBusItem) {
        emit busChosen(static_cast<BusItem*>(item)->bus());
      } else {
        emit lineChosen(static_cast<LineItem*>(item)->number());
      }
      event->accept();
      return;
    }
  }
  // Elsewhere a press starts dragging the picture.
  QGraphicsView::mousePressEvent(event);
}

void NetworkView::SelectBus(int bus) {
  FinishDrawing();
  if (bus >= 1 && static_cast<std::size_t>(bus) <= bus_items_.size()) {
    select_item(bus_items_[static_cast<std::size_t>(bus) - 1], true);
  }
}

void NetworkView::SelectLine(int line) {
  FinishDrawing();
  if (line >= 1 && static_cast<std::size_t>(line) <= line_items_.size()) {
    select_item(line_items_[static_cast<std::size_t>(line) - 1], true);
  }
}

int NetworkView::SelectedBus() {
  for (QGraphicsItem* item : scene()->selectedItems()) {
    if (item->type() == kBusItem) return static_cast<BusItem*>(item)->bus();
  }
  return 0;
}

int NetworkView::SelectedLine() {
  for (QGraphicsItem* item : scene()->selectedItems()) {
    if (item->type() == kLineItem) return static_cast<LineItem*>(item)->number();
  }
  return 0;
}

QPointF NetworkView::BusPosition(int bus) {
  FinishDrawing();
  if (bus < 1 || static_cast<std::size_t>(bus) > bus_items_.size() || !bus_items_[static_cast<std::size_t>(bus) - 1]) {
    return {};
  }
  return bus_items_[static_cast<std::size_t>(bus) - 1]->pos();
}

QPointF NetworkView::LineMiddle(int line) {
  FinishDrawing();
  if (line < 1 || static_cast<std::size_t>(line) > line_items_.size() || !line_items_[static_cast<std::size_t>(line) - 1]) {
    return {};
  }
  return static_cast<LineItem*>(line_items_[static_cast<std::size_t>(line) - 1])->line().center();
}

QString NetworkView::ToolTipAt(const QPointF& scene_point) {
  if (QGraphicsItem* item = item_near(scene_point)) {
    if (item->type() == kBusItem) {
      const int bus = static_cast<BusItem*>(item)->bus();
      bool generator = false;
      for (const auto& g : results_->generators) generator = generator || g.bus == bus;
      return bus_tip(results_->buses[static_cast<std::size_t>(bus) - 1], generator);
    }
    if (item->type() == kLineItem) {
      return line_tip(results_->lines[static_cast<std::size_t>(static_cast<LineItem*>(item)->number()) - 1]);
    }
  }
  return {};
}

bool NetworkView::viewportEvent(QEvent* event) {
  if (event->type() == QEvent::ToolTip) {
    auto* help = static_cast<QHelpEvent*>(event);
    const QString tip = ToolTipAt(mapToScene(help->pos()));
    if (tip.isEmpty()) {
      QToolTip::hideText();
    } else {
      QToolTip::showText(help->globalPos(), tip, this);
    }
    return true;
  }
  return QGraphicsView::viewportEvent(event);
}

void NetworkView::Zoom(double factor) {
  const ViewportAnchor anchor = transformationAnchor();
  setTransformationAnchor(QGraphicsView::AnchorViewCenter);
  scale(factor, factor);
  setTransformationAnchor(anchor);
}

void NetworkView::wheelEvent(QWheelEvent* event) {
  const double steps = event->angleDelta().y() / 120.0;
  if (steps == 0.0) return;
  scale(std::pow(kWheelStep, steps), std::pow(kWheelStep, steps));
  event->accept();
}

void NetworkView::resizeEvent(QResizeEvent* event) {
  QGraphicsView::resizeEvent(event);
  // Until the user zooms, the whole network fills the view.
  if (fitted_ && results_ && transform().m11() == transform().m22()) {
    fitInView(scene()->sceneRect(), Qt::KeepAspectRatio);
  }
}

void NetworkView::drawForeground(QPainter* painter, const QRectF&) {
  painter->save();
  painter->resetTransform();
  if (!message_.isEmpty()) {
    painter->setPen(QColor(80, 80, 80));
    painter->drawText(viewport()->rect(), Qt::AlignCenter, message_);
  }
  painter->restore();
}

QSize NetworkView::picture_size() const {
  const QRectF rect = scene()->sceneRect();
  const double longest = std::max(rect.width(), rect.height());
  const double scale = longest > 0 ? std::min(kLongestPictureSide / longest, 4.0) : 1.0;
  return QSize(std::max(640, static_cast<int>(rect.width() * scale)),
               std::max(480, static_cast<int>(rect.height() * scale)) + kLegendHeight + 20);
}

void NetworkView::paint_picture(QPainter& painter, const QSize& size) {
  FinishDrawing();
  painter.fillRect(QRect(QPoint(0, 0), size), Qt::white);
  painter.setRenderHint(QPainter::Antialiasing);
  const QRectF target(0, 0, size.width(), size.height() - kLegendHeight - 20);
  // Nothing selected in an exported picture.
  const QList<QGraphicsItem*> selected = scene()->selectedItems();
  for (QGraphicsItem* item : selected) item->setSelected(false);
  scene()->render(&painter, target, scene()->sceneRect(), Qt::KeepAspectRatio);
  for (QGraphicsItem* item : selected) item->setSelected(true);
  paint_legend(painter, QRectF(10, size.height() - kLegendHeight - 10, kLegendWidth, kLegendHeight), prices_);
}

QByteArray NetworkView::PictureAsPng() {
  const QSize size = picture_size();
  QImage image(size, QImage::Format_RGB32);
  {
    QPainter painter(&image);
    paint_picture(painter, size);
  }
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  image.save(&buffer, "PNG");
  return bytes;
}

QByteArray NetworkView::PictureAsSvg() {
  const QSize size = picture_size();
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  QSvgGenerator generator;
  generator.setOutputDevice(&buffer);
  generator.setSize(size);
  generator.setViewBox(QRect(QPoint(0, 0), size));
  generator.setTitle(QStringLiteral("Rede"));
  {
    QPainter painter(&generator);
    paint_picture(painter, size);
  }
  return bytes;
}

void paint_legend(QPainter& painter, const QRectF& area, const corvo::PriceRange& prices) {
  painter.save();
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setPen(QColor(160, 160, 160));
  painter.setBrush(QColor(255, 255, 255, 230));
  painter.drawRoundedRect(area, 4, 4);
  QFont font = painter.font();
  font.setPointSizeF(8.5);
  painter.setFont(font);
  painter.setPen(Qt::black);
  const double left = area.left() + 10, right = area.right() - 10;
  painter.drawText(QPointF(left, area.top() + 14), QStringLiteral("Preço nodal (LMP), $/MWh"));

  // The colour bar and its ticks.
  const QRectF bar(left, area.top() + 20, right - left, 12);
  QLinearGradient gradient(bar.topLeft(), bar.topRight());
  for (int step = 0; step <= 10; ++step) gradient.setColorAt(step / 10.0, colour(corvo::scale_colour(step / 10.0)));
  const bool single = !(prices.high > prices.low);
  if (single) {
    painter.fillRect(bar, colour(corvo::scale_colour(0.5)));
  } else {
    painter.fillRect(bar, gradient);
  }
  painter.setPen(QColor(60, 60, 60));
  painter.setBrush(Qt::NoBrush);
  painter.drawRect(bar);
  const QFontMetricsF metrics(painter.font());
  if (single) {
    const QString text = QString::fromStdString(corvo::table_number_text(prices.low, 2, ',')) +
                         QStringLiteral(" (um só preço)");
    painter.drawText(QPointF(bar.center().x() - metrics.horizontalAdvance(text) / 2, bar.bottom() + 13), text);
  } else {
    for (const double tick : corvo::legend_ticks(prices, 6)) {
      const double x = bar.left() + corvo::scale_position(prices, tick) * bar.width();
      painter.drawLine(QPointF(x, bar.bottom()), QPointF(x, bar.bottom() + 3));
      const QString text = QString::fromStdString(corvo::form_number_text(tick, ','));
      const double width = metrics.horizontalAdvance(text);
      painter.drawText(QPointF(std::clamp(x - width / 2, left, right - width), bar.bottom() + 14), text);
    }
  }

  // What the shapes mean: a bus, and a bus with a generator.
  {
    const double ys = area.bottom() - 32;
    painter.setPen(QPen(QColor(60, 60, 60), 0.8));
    painter.setBrush(QColor(170, 170, 170));
    painter.drawEllipse(QPointF(left + 6, ys), 5.0, 5.0);
    painter.setPen(Qt::black);
    const QString bus = QStringLiteral("barra");
    painter.drawText(QPointF(left + 16, ys + 4), bus);
    const double x2 = left + 16 + metrics.horizontalAdvance(bus) + 14;
    painter.setPen(QPen(QColor(60, 60, 60), 0.8));
    painter.drawRect(QRectF(x2, ys - 5, 10, 10));
    painter.setPen(Qt::black);
    painter.drawText(QPointF(x2 + 15, ys + 4), QStringLiteral("barra com gerador"));
    painter.setBrush(Qt::NoBrush);
  }

  // What the strokes mean.
  const double y = area.bottom() - 14;
  const struct {
    corvo::LineStroke stroke;
    const char* text;
  } samples[] = {
      {corvo::line_stroke(10.0, corvo::report::AtLimit::none), "pouco carregado"},
      {corvo::line_stroke(90.0, corvo::report::AtLimit::none), "quase no limite"},
      {corvo::line_stroke(100.0, corvo::report::AtLimit::upper), "no limite"},
  };
  double x = left;
  for (const auto& sample : samples) {
    QPen pen(colour(sample.stroke.colour));
    pen.setWidthF(sample.stroke.width);
    pen.setCapStyle(Qt::RoundCap);
    painter.setPen(pen);
    painter.drawLine(QPointF(x, y), QPointF(x + 18, y));
    painter.setPen(Qt::black);
    const QString text = QString::fromUtf8(sample.text);
    painter.drawText(QPointF(x + 23, y + 4), text);
    x += 23 + metrics.horizontalAdvance(text) + 12;
  }
  painter.restore();
}

PriceLegend::PriceLegend(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("PriceLegend"));
  setFixedHeight(kLegendHeight + 8);
  setMinimumWidth(kLegendWidth + 8);
}

void PriceLegend::SetPrices(const corvo::PriceRange& prices) {
  prices_ = prices;
  shown_ = true;
  update();
}

void PriceLegend::Clear() {
  shown_ = false;
  update();
}

void PriceLegend::paintEvent(QPaintEvent*) {
  if (!shown_) return;
  QPainter painter(this);
  paint_legend(painter, QRectF(4, 4, kLegendWidth, kLegendHeight), prices_);
}
