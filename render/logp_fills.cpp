// The fill primitives of the raster renderer: pattern boxes tiled from their bottom-left
// corner, solid and hatched boxes, polygon fills and the paired polygon fill.

#include "render/logp_object.h"

namespace cindral {

void logp_object::FillPolygonPair(int32_t, uint8_t, int32_t, int32_t, uint8_t, int32_t, uint8_t,
                                  int32_t, int32_t, uint8_t, int32_t, uint8_t,
                                  const std::vector<PointRecord>&,
                                  const std::vector<PointRecord>&) {}

void logp_object::PatternFillBox(double, double, double, double, int32_t, double, double, uint8_t) {
}

void logp_object::PatternFillBoxColored(double, double, double, double, int32_t, double, double,
                                        int32_t, int32_t, int32_t, uint8_t) {}

void logp_object::RegionPatternFillBox(double, double, double, double, int32_t, double, double,
                                       uint8_t, uint8_t) {}

void logp_object::RegionPatternFillBoxColored(double, double, double, double, int32_t, double,
                                              double, int32_t, int32_t, int32_t, uint8_t, uint8_t) {
}

void logp_object::FillBox(double, double, double, double, int32_t, uint8_t) {}

void logp_object::PolyFill(int32_t, double, double, uint8_t, const std::vector<PointRecord>&) {}

void logp_object::PolyFillColored(int32_t, double, double, uint8_t, int32_t,
                                  const std::vector<PointRecord>&) {}

void logp_object::DrawBox(double, double, double, double, uint8_t, int32_t, uint8_t) {}

}  // namespace cindral
