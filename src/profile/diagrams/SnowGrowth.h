#pragma once

namespace tarvex {

class PictureSurface;
struct ProfileArrays;
struct SoundingView;

// The snow-growth zone: the stretch of the temperature trace between -12 and
// -18 C over-drawn three pixels wide, yellow where the air at both ends of a
// piece is moister than 75 %, pink otherwise. Where the trace crosses an edge
// of the zone between two levels the piece is cut at the crossing; a zone
// that lies wholly between two levels is not drawn. Temperature frame of the
// redraw in view.
void DrawSnowGrowth(PictureSurface& pic, const ProfileArrays& s, const SoundingView& view);

} // namespace tarvex
