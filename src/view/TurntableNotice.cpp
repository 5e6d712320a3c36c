#include "view/TurntableNotice.h"

#include <QPainter>

namespace gx {

TurntableNotice::TurntableNotice(QObject* parent)
    : QObject(parent)
{
    timer_.setSingleShot(true);
    connect(&timer_, &QTimer::timeout, this, &TurntableNotice::clear);
}

void TurntableNotice::show(const QString& text, std::chrono::milliseconds lifetime)
{
    text_ = text;
    timer_.start(lifetime);
    emit changed();
}

void TurntableNotice::clear()
{
    timer_.stop();
    if (text_.isEmpty())
        return;
    text_.clear();
    emit changed();
}

void TurntableNotice::paint(QPainter& painter, const QFont& font, qreal width, qreal height) const
{
    if (text_.isEmpty())
        return;
    // Light text on a dimmed band across the top of the record, above the
    // dial, so that every control stays in sight; a long text grows down.
    constexpr qreal kMargin = 6.0;
    constexpr qreal kPadding = 5.0;
    QFont small = font;
    small.setPixelSize(12);
    painter.setFont(small);
    painter.setOpacity(1.0);
    const qreal bandWidth = width - 2 * kMargin;
    const int flags = Qt::AlignCenter | Qt::TextWordWrap;
    const QRectF text = painter.boundingRect(QRectF(0, 0, bandWidth - 2 * kPadding, height), flags, text_);
    const QRectF band(kMargin, kMargin, bandWidth, text.height() + 2 * kPadding);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(20, 16, 12, 200));
    painter.drawRoundedRect(band, 6.0, 6.0);
    painter.setPen(QColor(240, 232, 220));
    painter.drawText(band.adjusted(kPadding, kPadding, -kPadding, -kPadding), flags, text_);
}

} // namespace gx
