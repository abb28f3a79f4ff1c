#include "network_layouts.h"

#include <QCoreApplication>
#include <QMetaObject>

NetworkLayouts::NetworkLayouts(QObject* parent) : QObject(parent) {}

NetworkLayouts::~NetworkLayouts() {
  if (thread_ == nullptr) return;
  thread_->wait();
  delete thread_;
}

std::shared_ptr<const corvo::NetworkLayout> NetworkLayouts::layout_of(const corvo::NetworkShape& shape) {
  if (known_ && known_shape_ == shape) return known_;
  if (running_shape_ == shape) {
    waiting_shape_.reset();  // the running one is the latest asked for again
    return nullptr;
  }
  if (thread_ != nullptr) {
    waiting_shape_ = shape;
    return nullptr;
  }
  start(shape);
  return nullptr;
}

void NetworkLayouts::start(corvo::NetworkShape shape) {
  running_shape_ = shape;
  // The thread never outlives this object: the destructor waits for it.
  NetworkLayouts* const self = this;
  thread_ = QThread::create([self, shape = std::move(shape)] {
    std::shared_ptr<const corvo::NetworkLayout> layout;
    QString error;
    try {
      layout = std::make_shared<corvo::NetworkLayout>(corvo::layout_network(shape));
    } catch (const std::exception& e) {
      error = QString::fromUtf8(e.what());
    }
    QMetaObject::invokeMethod(
        self, [self, layout, error] { self->deliver(layout, error); }, Qt::QueuedConnection);
  });
  thread_->start();
}

void NetworkLayouts::deliver(std::shared_ptr<const corvo::NetworkLayout> layout, const QString& error) {
  thread_->wait();
  delete thread_;
  thread_ = nullptr;
  const corvo::NetworkShape shape = *running_shape_;
  running_shape_.reset();
  if (layout) {
    known_shape_ = shape;
    known_ = layout;
    ++computed_;
  }
  // A newer network was asked for meanwhile: this one is no longer shown.
  if (waiting_shape_) {
    corvo::NetworkShape next = std::move(*waiting_shape_);
    waiting_shape_.reset();
    if (next != shape) {
      start(std::move(next));
      return;
    }
  }
  if (layout) {
    emit ready(layout);
  } else {
    emit failed(error);
  }
}

void NetworkLayouts::wait() {
  while (thread_ != nullptr) {
    QThread::msleep(1);
    QCoreApplication::sendPostedEvents(this);
  }
}
