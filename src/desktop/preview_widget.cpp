#include "desktop/preview_widget.h"

#include <QMetaObject>
#include <QPainter>
#include <QPaintEvent>
#include <QResizeEvent>

namespace vyr {

PreviewWidget::PreviewWidget(QWidget* parent) : QWidget(parent), canvas_(*this) {
    // The surface covers every pixel: nothing of the background needs drawing first.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::StrongFocus);
}

void PreviewWidget::SyncSurface() {
    resizePending_ = false;
    if (canvas_.Width() != width() || canvas_.Height() != height()) canvas_.Resize(width(), height());
}

void PreviewWidget::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    painter.setClipRegion(event->region());
    const QImage& image = canvas_.Image();
    painter.drawImage(0, 0, image);
    // Between a resize and its repaint the surface may be smaller than the widget.
    if (image.width() < width()) painter.fillRect(image.width(), 0, width() - image.width(), height(), Qt::black);
    if (image.height() < height()) painter.fillRect(0, image.height(), width(), height() - image.height(), Qt::black);
}

void PreviewWidget::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    // The new size is taken after the current event: a resize can arrive
    // while the engine is inside a tick (placing the window, a message box),
    // and the surface must not change under the drawing.
    if (resizePending_) return;
    resizePending_ = true;
    QMetaObject::invokeMethod(this, [this] { ApplyPendingResize(); }, Qt::QueuedConnection);
}

void PreviewWidget::ApplyPendingResize() {
    if (!resizePending_) return;
    resizePending_ = false;
    canvas_.Resize(width(), height());
    update();
    if (onRepaint) onRepaint();
}

}  // namespace vyr
