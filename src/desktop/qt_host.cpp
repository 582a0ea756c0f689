#include "desktop/qt_host.h"

#include <QFileDialog>
#include <QGuiApplication>
#include <QMessageBox>
#include <QMetaObject>
#include <QScreen>
#include <QTimer>

#include <algorithm>

#include "app/main_window.h"
#include "desktop/main_frame.h"
#include "desktop/preview_widget.h"
#include "desktop/qt_text.h"
#include "playback/main_loop.h"

namespace vyr {

namespace {

// "*.ILD" -> "*.ild *.ILD"; "*.*" -> "*"; several patterns split on ';'.
QString CaseBlindPatterns(const std::string& pattern) {
    QStringList patterns;
    for (const QString& part : QString::fromStdString(pattern).split(';', Qt::SkipEmptyParts)) {
        const QString trimmed = part.trimmed();
        if (trimmed == QStringLiteral("*.*") || trimmed == QStringLiteral("*")) {
            patterns << QStringLiteral("*");
            continue;
        }
        for (const QString& variant : {trimmed.toLower(), trimmed.toUpper()}) {
            if (!patterns.contains(variant)) patterns << variant;
        }
    }
    return patterns.join(' ');
}

}  // namespace

QStringList NameFilters(const FileDialogRequest& request) {
    QStringList filters;
    for (const FileFilter& filter : request.filters) {
        filters << QString::fromStdString(filter.text) + QStringLiteral(" (") + CaseBlindPatterns(filter.pattern) +
                       QStringLiteral(")");
    }
    return filters;
}

std::unique_ptr<QFileDialog> MakeFileDialog(const FileDialogRequest& request, FileDialogKind kind,
                                            QWidget* parent) {
    auto dialog = std::make_unique<QFileDialog>(parent, QString::fromStdString(request.title));
    const QStringList filters = NameFilters(request);
    dialog->setNameFilters(filters);
    if (!filters.isEmpty()) dialog->selectNameFilter(filters.front());
    // Extensions are written in lower case on this platform, where names
    // are case-sensitive: a typed "show" opens "show.ild".
    dialog->setDefaultSuffix(QString::fromStdString(request.defaultExtension).toLower());
    if (kind == FileDialogKind::kSave) {
        dialog->setAcceptMode(QFileDialog::AcceptSave);
        dialog->setFileMode(QFileDialog::AnyFile);
    } else {
        dialog->setAcceptMode(QFileDialog::AcceptOpen);
        dialog->setFileMode(request.mustExist ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    }
    return dialog;
}

QtHost::QtHost(CMainFrame& frame) : frame_(frame) {}

QtHost::~QtHost() = default;

void QtHost::SetStatusPane(int pane, const std::string& text) { frame_.SetStatusPane(pane, QString::fromStdString(text)); }

QWidget* QtHost::DialogParent() const { return frame_.isVisible() ? &frame_ : nullptr; }

void QtHost::MessageBox(const std::string& text, MessageIcon icon) {
    if (messageBoxOverride) {
        messageBoxOverride(text, icon);
        return;
    }
    QMessageBox box(icon == MessageIcon::kError ? QMessageBox::Critical : QMessageBox::Information,
                    ToQString(kApplicationTitle), QString::fromStdString(text), QMessageBox::Ok, DialogParent());
    box.exec();
}

std::optional<std::string> QtHost::FileDialog(const FileDialogRequest& request, FileDialogKind kind) {
    if (fileDialogOverride) return fileDialogOverride(request, kind);
    const std::unique_ptr<QFileDialog> dialog = MakeFileDialog(request, kind, DialogParent());
    if (dialog->exec() != QDialog::Accepted) return std::nullopt;
    const QStringList chosen = dialog->selectedFiles();
    if (chosen.isEmpty()) return std::nullopt;
    return chosen.front().toStdString();
}

std::optional<std::string> QtHost::OpenFileDialog(const FileDialogRequest& request) {
    return FileDialog(request, FileDialogKind::kOpen);
}

std::optional<std::string> QtHost::SaveFileDialog(const FileDialogRequest& request) {
    return FileDialog(request, FileDialogKind::kSave);
}

void QtHost::SetDocumentTitle(const std::string& title) { frame_.SetDocumentTitle(title); }

bool QtHost::SetTimer(int id, int milliseconds) {
    std::unique_ptr<QTimer>& timer = timers_[id];
    if (!timer) {
        timer = std::make_unique<QTimer>();
        // The display tick paces the show and the 10 ms clock counts the
        // playing time; the coarse timer kind would let either drift by
        // several percent.
        const bool precise = id == DISPLAY_TIMER || id == PLAYBACK_TIMER;
        timer->setTimerType(precise ? Qt::PreciseTimer : Qt::CoarseTimer);
        QObject::connect(timer.get(), &QTimer::timeout, &context_, [this, id] {
            if (onTimer) onTimer(id);
        });
    }
    // Like the window system's timers, never faster than once a millisecond;
    // starting a running timer restarts it with the new period.
    timer->start(std::max(1, milliseconds));
    return true;
}

void QtHost::KillTimer(int id) {
    // Stopped, not deleted: the timer may be the one whose tick is running.
    const auto it = timers_.find(id);
    if (it != timers_.end()) it->second->stop();
}

const QTimer* QtHost::Timer(int id) const {
    const auto it = timers_.find(id);
    return it == timers_.end() ? nullptr : it->second.get();
}

void QtHost::PostToUiThread(std::function<void()> work) {
    QMetaObject::invokeMethod(&context_, std::move(work), Qt::QueuedConnection);
}

Canvas* QtHost::PreviewCanvas() { return &frame_.View().Surface(); }

std::optional<ScreenRect> QtHost::MainWindowRect() const {
    const QRect frame = frame_.frameGeometry();
    return ScreenRect{frame.x(), frame.y(), frame.x() + frame.width(), frame.y() + frame.height()};
}

void QtHost::MoveMainWindow(const ScreenRect& rect) {
    QRect target(rect.left, rect.top, std::max(1, rect.right - rect.left), std::max(1, rect.bottom - rect.top));
    // A rectangle saved on a screen that is gone would put the window out of
    // reach: it then opens on the primary screen with its size.
    bool onScreen = false;
    for (const QScreen* screen : QGuiApplication::screens()) onScreen = onScreen || screen->availableGeometry().intersects(target);
    if (!onScreen) {
        if (const QScreen* primary = QGuiApplication::primaryScreen()) target.moveTopLeft(primary->availableGeometry().topLeft());
    }
    // The rectangle includes the window's frame; resize() takes the inside.
    const QSize decoration = frame_.frameGeometry().size() - frame_.geometry().size();
    frame_.move(target.topLeft());
    frame_.resize(std::max(1, target.width() - decoration.width()), std::max(1, target.height() - decoration.height()));
    frame_.update();
}

}  // namespace vyr
