#pragma once
// A calm line or two drawn over the top of the turntable (why a file did not
// play), never a dialog, so nothing waits for it. It goes by itself after its
// lifetime, or when replaced or cleared. The same band, at the bottom, shows
// what a key or the dial just changed, and in the middle what to do first.
// Main thread only.
#include <QFont>
#include <QObject>
#include <QRectF>
#include <QString>
#include <QTimer>
#include <chrono>

class QPainter;

namespace gx {

class TurntableNotice : public QObject {
    Q_OBJECT
public:
    enum class Edge { top, middle, bottom };
    explicit TurntableNotice(QObject* parent = nullptr, Edge edge = Edge::top);

    // A lifetime of 0 keeps it until it is cleared.
    void show(const QString& text, std::chrono::milliseconds lifetime = std::chrono::seconds(6));
    void clear();
    QString text() const { return text_; }
    // Draws it in a band across the top of a view `width` by `height` points.
    void paint(QPainter& painter, const QFont& font, qreal width, qreal height) const;
    // Where paint() draws the band for the text now; empty without one.
    QRectF band(const QFont& font, qreal width, qreal height) const;

signals:
    void changed();

private:
    QFont bandFont(const QFont& font) const;

    Edge edge_;
    QString text_;
    QTimer timer_;
};

} // namespace gx
