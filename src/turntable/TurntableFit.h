#pragma once
// Where the turntable stands in a window of any size: scaled to fit, its
// proportions kept, centred, never smaller than drawn nor larger than its
// largest pictures reach on the screen. Positions here are in
// the widget's top-left coordinates (y down), the turntable's own before the
// view turns them into points with y up. No toolkit.
#include "turntable/TurntableGeometry.h"

namespace gx::turntable {

struct Fit {
    float scale = 1.0f;
    // The turntable's top-left corner in the widget, on a whole device pixel.
    float x = 0.0f;
    float y = 0.0f;

    bool identity() const { return scale == 1.0f && x == 0.0f && y == 0.0f; }
    // A widget position to the turntable's own, and back.
    PointF toTable(PointF widget) const { return {(widget.x - x) / scale, (widget.y - y) / scale}; }
    PointF toWidget(PointF table) const { return {x + table.x * scale, y + table.y * scale}; }
    // A rectangle (x, y its top-left corner) in the widget.
    RectF toWidget(RectF table) const
    {
        return {x + table.x * scale, y + table.y * scale, table.width * scale, table.height * scale};
    }
};

// A turntable of tableWidth × tableHeight points in a widget of that many
// points, on a screen of devicePixelRatio pixels a point.
Fit fitTurntable(float widgetWidth, float widgetHeight, float tableWidth, float tableHeight, float devicePixelRatio);

} // namespace gx::turntable
