#pragma once

#include <QLabel>

namespace varnow {

// A label drawn as a link (blue, underlined, hand cursor) that reports a left-button click.
class LinkLabel : public QLabel {
  Q_OBJECT

 public:
  explicit LinkLabel(const QString& text, QWidget* parent = nullptr);

 signals:
  void clicked();

 protected:
  void mouseReleaseEvent(QMouseEvent* event) override;
};

}  // namespace varnow
