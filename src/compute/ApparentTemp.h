#pragma once

namespace tarvex {

// How hot the air feels (deg F) to a walking adult, from the air temperature
// T (deg C) and the relative humidity H (%). Below the heat at which a
// person sheds every garment the clothing is found that keeps the body in
// balance; above it, the bare person's reading gives way to the weather
// service's heat index where the service uses it. In cold past what any
// clothing balances, the clothed reading's own limit, never above the air.
// Continuous in T and H.
float MakeApparentTemp(float T, float H);

// Heat-stress class of an apparent temperature A (deg F): 1 for 130 and
// above, 2 from 105, 3 from 90, 4 from 80, 5 below 80. Each bound belongs to
// the hotter class.
int HeatCategory(float A);

} // namespace tarvex
