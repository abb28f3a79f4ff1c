// The layout of the network picture, computed on a worker thread once per
// network: a case solved again, with other limits or costs, keeps its
// picture's layout; only a network of another shape is laid out anew.
#pragma once

#include <QObject>
#include <QString>
#include <QThread>
#include <memory>
#include <optional>

#include "corvo/network_layout.hpp"

class NetworkLayouts : public QObject {
  Q_OBJECT

 public:
  explicit NetworkLayouts(QObject* parent = nullptr);
  ~NetworkLayouts() override;  // waits for a layout still being computed

  // The layout of `shape` when it is known. Otherwise null, and the layout
  // is computed (after the one running, if any); `ready` tells when.
  std::shared_ptr<const corvo::NetworkLayout> layout_of(const corvo::NetworkShape& shape);

  // Waits until no layout is being computed and the last result was
  // delivered.
  void wait();

  // How many layouts were computed so far (each network once).
  int computed() const { return computed_; }

 signals:
  void ready(std::shared_ptr<const corvo::NetworkLayout> layout);
  void failed(const QString& message);

 private:
  void start(corvo::NetworkShape shape);
  void deliver(std::shared_ptr<const corvo::NetworkLayout> layout, const QString& error);

  std::optional<corvo::NetworkShape> known_shape_;  // of `known_`
  std::shared_ptr<const corvo::NetworkLayout> known_;
  std::optional<corvo::NetworkShape> running_shape_;
  std::optional<corvo::NetworkShape> waiting_shape_;  // asked for while another ran
  QThread* thread_ = nullptr;
  int computed_ = 0;
};
