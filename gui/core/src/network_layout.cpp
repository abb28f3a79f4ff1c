#include "corvo/network_layout.hpp"

#include <graphviz/cgraph.h>
#include <graphviz/gvc.h>

#include <memory>
#include <mutex>
#include <string>

namespace corvo {

namespace {

// Graphviz keeps global state (its error handler, the random seed of the
// layouts, the attribute symbol tables, a cache of font names) and is not
// safe to enter from two threads at once.
std::mutex& graphviz_mutex() {
  static std::mutex mutex;
  return mutex;
}

// One context for the whole run, made on first use and never freed: a
// freed context leaves its font cache dangling for the next one (a
// use-after-free in Graphviz 2.42's text sizing), and loading the layout
// plugins once is cheaper anyway. Called with the mutex held.
GVC_t* graphviz_context() {
  static GVC_t* const context = gvContext();
  return context;
}

struct GraphDeleter {
  void operator()(Agraph_t* graph) const { agclose(graph); }
};

// cgraph takes attribute names and values as non-const char*.
void set_attribute(void* object, const char* name, const char* value) {
  agsafeset(object, const_cast<char*>(name), const_cast<char*>(value), const_cast<char*>(""));
}

bool is_bus(const NetworkShape& shape, std::int32_t bus) { return bus >= 1 && bus <= shape.buses; }

// The layout attributes: a fixed seed for the random start, so that every
// run gives the same picture; overlapping nodes are left as they fall
// (removing overlaps costs more than the whole layout on large networks,
// and the picture draws buses as small dots); edges are straight.
void set_layout_attributes(Agraph_t* graph, const std::string& engine) {
  set_attribute(graph, "start", "1");
  set_attribute(graph, "overlap", "true");
  set_attribute(graph, "splines", "false");
  // The coarser quadtree approximation of the repulsive forces halves
  // sfdp's time on 10 000 buses; the drawing stays as readable.
  if (engine == "sfdp") set_attribute(graph, "quadtree", "fast");
  // Buses are points without text: sizing 10 000 labels would cost more
  // than laying them out.
  agattr(graph, AGNODE, const_cast<char*>("shape"), const_cast<char*>("point"));
  agattr(graph, AGNODE, const_cast<char*>("width"), const_cast<char*>("0.05"));
  agattr(graph, AGNODE, const_cast<char*>("label"), const_cast<char*>(""));
}

}  // namespace

NetworkLayout layout_network(const NetworkShape& shape) {
  if (shape.buses < 1) throw LayoutError("uma rede sem barras não tem desenho");
  if (shape.from.size() != shape.to.size()) {
    throw std::invalid_argument("layout_network: line ends of different lengths");
  }
  NetworkLayout layout;
  layout.engine = shape.buses <= kNeatoLimit ? "neato" : "sfdp";

  const std::lock_guard<std::mutex> lock(graphviz_mutex());
  agseterr(AGERR);  // warnings about the layout are not the user's business
  GVC_t* const context = graphviz_context();
  const std::unique_ptr<Agraph_t, GraphDeleter> graph(
      agopen(const_cast<char*>("rede"), Agundirected, nullptr));
  if (context == nullptr || !graph) throw LayoutError("o Graphviz não pôde ser iniciado");
  set_layout_attributes(graph.get(), layout.engine);

  std::vector<Agnode_t*> nodes(static_cast<std::size_t>(shape.buses));
  for (std::int32_t bus = 1; bus <= shape.buses; ++bus) {
    std::string name = std::to_string(bus);
    nodes[static_cast<std::size_t>(bus) - 1] = agnode(graph.get(), name.data(), 1);
  }
  for (std::size_t line = 0; line < shape.from.size(); ++line) {
    const std::int32_t from = shape.from[line], to = shape.to[line];
    if (!is_bus(shape, from) || !is_bus(shape, to) || from == to) continue;
    agedge(graph.get(), nodes[static_cast<std::size_t>(from) - 1],
           nodes[static_cast<std::size_t>(to) - 1], nullptr, 1);
  }

  if (gvLayout(context, graph.get(), layout.engine.c_str()) != 0) {
    throw LayoutError("o Graphviz não conseguiu desenhar a rede com o " + layout.engine);
  }
  const boxf box = GD_bb(graph.get());
  layout.width = box.UR.x - box.LL.x;
  layout.height = box.UR.y - box.LL.y;
  layout.bus_positions.reserve(nodes.size());
  for (Agnode_t* node : nodes) {
    layout.bus_positions.push_back({ND_coord(node).x - box.LL.x, ND_coord(node).y - box.LL.y});
  }
  gvFreeLayout(context, graph.get());
  return layout;
}

}  // namespace corvo
