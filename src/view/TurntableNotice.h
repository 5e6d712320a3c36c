#pragma once
// A calm line or two drawn over the top of the turntable (why a file did not
// play), never a dialog, so nothing waits for it. It goes by itself after its
// lifetime, or when replaced or cleared. Main thread only.
#include <QObject>
#include <QString>
#include <QTimer>
#include <chrono>

class QFont;
class QPainter;

namespace gx {

class TurntableNotice : public QObject {
    Q_OBJECT
public:
    explicit TurntableNotice(QObject* parent = nullptr);

    void show(const QString& text, std::chrono::milliseconds lifetime = std::chrono::seconds(6));
    void clear();
    QString text() const { return text_; }
    // Draws it in a band across the top of a view `width` by `height` points.
    void paint(QPainter& painter, const QFont& font, qreal width, qreal height) const;

signals:
    void changed();

private:
    QString text_;
    QTimer timer_;
};

} // namespace gx
