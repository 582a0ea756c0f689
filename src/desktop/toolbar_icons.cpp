#include "desktop/toolbar_icons.h"

#include <QImage>
#include <QPainter>
#include <QPixmap>
#include <QPolygon>

#include <array>

#include "app/main_window.h"

namespace vyr {

namespace {

// Letters of 3 x 5 cells, one string per row, '#' set. Drawn as cells rather
// than text so the buttons look the same whatever fonts the system has.
using Glyph = std::array<const char*, 5>;
constexpr Glyph kGlyphI{"###", ".#.", ".#.", ".#.", "###"};
constexpr Glyph kGlyphA{".#.", "#.#", "###", "#.#", "#.#"};
constexpr Glyph kGlyphT{"###", ".#.", ".#.", ".#.", ".#."};
constexpr Glyph kGlyphC{".##", "#..", "#..", "#..", ".##"};
constexpr Glyph kGlyphL{"#..", "#..", "#..", "#..", "###"};
constexpr Glyph kGlyphQuestion{"##.", "..#", ".#.", "...", ".#."};

void DrawGlyph(QPainter& painter, const Glyph& glyph, int left, int top, int cell, const QColor& colour) {
    for (int row = 0; row < 5; ++row) {
        for (int column = 0; column < 3; ++column) {
            if (glyph[static_cast<std::size_t>(row)][column] == '#') {
                painter.fillRect(left + column * cell, top + row * cell, cell, cell, colour);
            }
        }
    }
}

// A folder with the letter of the kind of file the command opens.
void DrawOpen(QPainter& painter, const Glyph& letter) {
    const QColor outline(120, 80, 0);
    painter.setPen(outline);
    painter.setBrush(QColor(240, 200, 70));
    painter.drawPolygon(QPolygon({QPoint(0, 2), QPoint(5, 2), QPoint(6, 3), QPoint(15, 3), QPoint(15, 14),
                                  QPoint(0, 14)}));
    DrawGlyph(painter, letter, 5, 4, 2, QColor(20, 30, 120));
}

void Draw(QPainter& painter, int command) {
    painter.setPen(Qt::NoPen);
    switch (command) {
        case kCmdOpenIlda: DrawOpen(painter, kGlyphI); break;
        case kCmdOpenAbs: DrawOpen(painter, kGlyphA); break;
        case kCmdOpenText: DrawOpen(painter, kGlyphT); break;
        case kCmdOpenCts: DrawOpen(painter, kGlyphC); break;
        case kCmdOpenClv: DrawOpen(painter, kGlyphL); break;
        case kCmdRewindScript:
            painter.setBrush(Qt::black);
            painter.drawRect(1, 3, 2, 9);
            painter.drawPolygon(QPolygon({QPoint(3, 7), QPoint(9, 2), QPoint(9, 12)}));
            painter.drawPolygon(QPolygon({QPoint(9, 7), QPoint(15, 2), QPoint(15, 12)}));
            break;
        case kCmdCloseTrackList:
            painter.setBrush(QColor(170, 20, 20));
            painter.drawRect(3, 2, 10, 10);
            break;
        case kCmdPause:
            painter.setBrush(Qt::black);
            painter.drawRect(4, 2, 3, 11);
            painter.drawRect(9, 2, 3, 11);
            break;
        case kCmdPlay:
            painter.setBrush(QColor(0, 140, 0));
            painter.drawPolygon(QPolygon({QPoint(4, 1), QPoint(13, 7), QPoint(4, 13)}));
            break;
        case kCmdRecord:
            painter.setBrush(QColor(220, 0, 0));
            painter.drawEllipse(3, 2, 10, 10);
            break;
        case kCmdAbout:
            painter.setBrush(QColor(30, 70, 170));
            painter.drawEllipse(1, 0, 14, 14);
            DrawGlyph(painter, kGlyphQuestion, 5, 2, 2, Qt::white);
            break;
        default: break;
    }
}

bool HasButton(int command) {
    for (int button : ToolbarCommands()) {
        if (button != 0 && button == command) return true;
    }
    return false;
}

}  // namespace

QIcon ToolbarIcon(int command) {
    if (!HasButton(command)) return QIcon();
    QImage image(kToolbarIconSize, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    {
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing, false);
        Draw(painter, command);
    }
    return QIcon(QPixmap::fromImage(image));
}

}  // namespace vyr
