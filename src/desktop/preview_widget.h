#pragma once

#include <QWidget>

#include <functional>

#include "platform/qt/qimage_canvas.h"

namespace vyr {

// The view's client area. The engine draws the whole of it on the surface
// held here (the preview right of the form, the rest stays background); the
// widget only shows that surface and asks for a repaint when its size changes.
class PreviewWidget final : public QWidget {
    Q_OBJECT

public:
    explicit PreviewWidget(QWidget* parent = nullptr);

    QImageCanvas& Surface() { return canvas_; }

    // Gives the surface the widget's size now, when it differs, and drops a
    // repaint still pending from an earlier resize. Used once the window is
    // shown, before the first repaint.
    void SyncSurface();

    // The view's repaint handler, run after the surface took a new size.
    std::function<void()> onRepaint;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    // Every Present marks the widget for an update, so whatever the engine
    // finished drawing (a tick, a cleared preview) reaches the screen.
    class PresentingCanvas final : public QImageCanvas {
    public:
        explicit PresentingCanvas(QWidget& widget) : QImageCanvas(0, 0), widget_(widget) {}
        void Present() override {
            QImageCanvas::Present();
            widget_.update();
        }

    private:
        QWidget& widget_;
    };

    void ApplyPendingResize();

    PresentingCanvas canvas_;
    bool resizePending_ = false;
};

}  // namespace vyr
