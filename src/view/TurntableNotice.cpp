#include "view/TurntableNotice.h"

#include <QFontMetricsF>
#include <QPainter>

namespace gx {

namespace {
constexpr qreal kMargin = 6.0;
constexpr qreal kPadding = 5.0;
constexpr int kFlags = Qt::AlignCenter | Qt::TextWordWrap;
} // namespace

TurntableNotice::TurntableNotice(QObject* parent, Edge edge)
    : QObject(parent)
    , edge_(edge)
{
    timer_.setSingleShot(true);
    connect(&timer_, &QTimer::timeout, this, &TurntableNotice::clear);
}

void TurntableNotice::show(const QString& text, std::chrono::milliseconds lifetime)
{
    text_ = text;
    if (lifetime.count() > 0)
        timer_.start(lifetime);
    else
        timer_.stop();
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

QFont TurntableNotice::bandFont(const QFont& font) const
{
    QFont small = font;
    small.setPixelSize(12);
    return small;
}

QRectF TurntableNotice::band(const QFont& font, qreal width, qreal height) const
{
    if (text_.isEmpty())
        return {};
    // A band across the record, above the dial, so that every control stays
    // in sight; a long text grows down.
    const qreal bandWidth = width - 2 * kMargin;
    const QRectF text
        = QFontMetricsF(bandFont(font)).boundingRect(QRectF(0, 0, bandWidth - 2 * kPadding, height), kFlags, text_);
    const qreal bandHeight = text.height() + 2 * kPadding;
    qreal top = kMargin;
    if (edge_ == Edge::middle)
        top = (height - bandHeight) / 2;
    else if (edge_ == Edge::bottom)
        top = height - kMargin - bandHeight;
    return {kMargin, top, bandWidth, bandHeight};
}

void TurntableNotice::paint(QPainter& painter, const QFont& font, qreal width, qreal height) const
{
    const QRectF band = this->band(font, width, height);
    if (band.isEmpty())
        return;
    // Light text on a dimmed band.
    painter.setFont(bandFont(font));
    painter.setOpacity(1.0);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(20, 16, 12, 200));
    painter.drawRoundedRect(band, 6.0, 6.0);
    painter.setPen(QColor(240, 232, 220));
    painter.drawText(band.adjusted(kPadding, kPadding, -kPadding, -kPadding), kFlags, text_);
}

} // namespace gx
