#include "render/Targetmark.h"

void DrawTargetCorners(TDraw& draw, TSurface* s, int x, int y, int out, int arm, int width,
                       unsigned long colour) {
    draw.DrawStart(s, TSurface::PS_SOLID, width, colour, colour);
    for (int sx = -1; sx <= 1; sx += 2)
        for (int sy = -1; sy <= 1; sy += 2) {
            s->MoveTo(x + sx * out, y + sy * (out - arm));
            s->LineTo(x + sx * out, y + sy * out);
            s->LineTo(x + sx * (out - arm), y + sy * out);
        }
    draw.DrawEnd(s);
}
