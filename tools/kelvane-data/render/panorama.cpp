#include "render/panorama.h"

#include <cmath>
#include <algorithm>
#include <cstdio>

namespace render {

double ColumnOfLongitude(double longitude, int width)
{
    double turns = longitude / (2.0 * kPi);
    turns -= std::floor(turns);
    return turns * width;
}

double RowOfLatitude(double latitude, int height) { return (0.5 - latitude / (2.0 * kBandLatitude)) * height; }

std::string PanoramaCamera(double eyeX, double eyeY, double eyeZ)
{
    // povray's spherical camera puts its direction at the picture's centre column, with the
    // full turn across and the vertical angle top to bottom; turned half round, the picture
    // starts at +z and runs to the right as the mesh does.
    char text[512];
    std::snprintf(text, sizeof text,
                  "camera {\n  spherical angle 360, %.9f\n  location <0, 0, 0> direction <0, 0, 1>"
                  " up <0, 1, 0> right <1, 0, 0>\n  rotate <0, 180, 0>\n  translate <%.6f, %.6f, %.6f>\n}\n",
                  2.0 * kBandLatitude * 180.0 / kPi, eyeX, eyeY, eyeZ);
    return text;
}

ViewPoint PointOfView(double viewX, double viewY, int panoramaWidth, int panoramaHeight)
{
    // The ray through the view point in camera units at distance 1: the projection's tangent
    // of the half field up, twice that across.
    const double halfHeight = std::tan(kViewFieldOfView / 2.0), halfWidth = 2.0 * halfHeight;
    const double rx = (viewX - kViewWidth / 2.0) / (kViewWidth / 2.0) * halfWidth;
    const double ry = (kViewHeight / 2.0 - viewY) / (kViewHeight / 2.0) * halfHeight;
    const double longitude = std::atan(rx), latitude = std::atan2(ry, std::sqrt(1.0 + rx * rx));
    ViewPoint p;
    p.drawnColumn = longitude / (2.0 * kPi) * panoramaWidth;
    p.drawnRow = RowOfLatitude(latitude, panoramaHeight);
    p.pickedColumn = viewX - kViewWidth / 2.0;
    p.pickedRow = viewY * panoramaHeight / kViewHeight;
    return p;
}

PickError LargestPickError(int panoramaWidth, int panoramaHeight)
{
    PickError worst;
    for (int y = 0; y <= kViewHeight; y += 4) {
        for (int x = 100; x <= 700; x += 4) {
            const ViewPoint p = PointOfView(x, y, panoramaWidth, panoramaHeight);
            worst.columns = std::max(worst.columns, std::fabs(p.pickedColumn - p.drawnColumn));
            worst.rows = std::max(worst.rows, std::fabs(p.pickedRow - p.drawnRow));
        }
    }
    return worst;
}

}  // namespace render
