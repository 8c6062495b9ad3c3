// The panorama's projection, as the game's panorama mesh shows a picture: an equirectangular
// band. Picture column c covers the longitudes c/W .. (c+1)/W of a full turn, starting straight
// ahead of the unturned view (+z) and running to the right (towards +x); picture rows run
// from latitude +kBandLatitude at the top to -kBandLatitude at the bottom in equal steps.
// Also the view the game draws of it (a perspective camera in an 800 x 400 band), so the
// generator can say how far a click is picked from what is drawn under it.
#pragma once

#include <string>

namespace render {

constexpr double kPi = 3.14159265358979323846;
// Half the band's latitude (the mesh spans 0.351 pi from bottom to top).
constexpr double kBandLatitude = 0.351 * kPi / 2.0;

// Where a direction (longitude to the right of +z, latitude up; radians) lands in a panorama
// picture of `width` x `height`: continuous picture coordinates, pixel (c, r) covering
// c .. c+1 and r .. r+1. Longitude is brought into 0 .. width.
double ColumnOfLongitude(double longitude, int width);
double RowOfLatitude(double latitude, int height);

// The povray camera that renders that band from `eye` (povray's axes: x right, y up, z
// ahead, the same hand as the game's): a spherical camera turned so that picture column 0
// starts at +z.
std::string PanoramaCamera(double eyeX, double eyeY, double eyeZ);

// The game's view of a panorama: 800 x 400 screen pixels (screen y 100 .. 500), a perspective
// camera of 0.35 pi vertical field and aspect 2 at the centre of the band.
constexpr int kViewWidth = 800;
constexpr int kViewHeight = 400;
constexpr double kViewFieldOfView = 0.35 * kPi;

// For a point of the view (x 0 .. 800, y 0 .. 400 from its top left) with the view turned so
// that column 0 sits at its centre: the panorama point drawn there, and the one the game picks
// there (one picture column per screen pixel from the centre, rows scaled 512 / 400).
struct ViewPoint {
    double drawnColumn, drawnRow;    // relative to the centre column; row from the picture's top
    double pickedColumn, pickedRow;
};
ViewPoint PointOfView(double viewX, double viewY, int panoramaWidth, int panoramaHeight);

// The largest distance, in picture columns and rows, between the point picked and the point
// drawn over the part of the view where clicks land (screen x 100 .. 700: outside it the view
// turns), at each view height.
struct PickError {
    double columns = 0, rows = 0;
};
PickError LargestPickError(int panoramaWidth, int panoramaHeight);

}  // namespace render
