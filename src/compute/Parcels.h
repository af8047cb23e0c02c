#pragma once

#include <cstdint>

namespace tarvex {

struct ProfileArrays;
struct LayerCapeResults;
struct LakeParcelResults;
struct ParcelOptions;

// 0 C in kelvin, and the acceleration of gravity (m/s2), as every buoyancy
// integral of the program uses them.
inline constexpr float kKelvinOffset = 273.16f;
inline constexpr double kGravityAccel = 9.80616;

// Potential temperature (deg C) of air at temperature T (deg C) and pressure
// p (mb), referred to 1000 mb.
float Theta(float T, float p);

// The Wobus function (deg C): the difference between the potential
// temperature and the wet-bulb potential temperature of saturated air whose
// potential temperature is T.
float Wobus(float T);

// Temperature (deg C) at pressure p (mb) on the saturated adiabat whose
// wet-bulb potential temperature is thw (deg C). A secant iteration that
// always ends: at convergence, after a bounded number of steps, or when the
// step can no longer move. A pressure of 0 or less is the top of the
// atmosphere, where every adiabat ends at absolute zero.
float SatLift(float thw, float p);

// Temperature (deg C) at p2 of a saturated parcel that has temperature T at
// p1 (mb), along its moist adiabat, cooled by a further 0.3 C for every
// 500 mb of ascent (warmed likewise when it descends).
float WetLift(float T, float p1, float p2);

// Lifting condensation level of air at temperature T and dew point Td
// (deg C) at pressure p (mb) after Bolton: temperature (K) and pressure (mb).
struct CondensationLevel {
    float TempK = 0.0f;
    float Pressure = 0.0f;
};
CondensationLevel BoltonLCL(float T, float Td, float p);

// (p / 1000) ^ (Rd / cp) of a pressure p (mb): the factor that turns a
// potential temperature into the temperature at p. Parcels lifted through
// the same levels share it: work it out once per level and hand it to At or
// TempAt with its pressure.
float PressureFactor(float p);

// The moist adiabat through one saturated point (T deg C, p mb), evaluated at
// many pressures: At(p2) equals WetLift(T, p, p2), and the wet-bulb potential
// temperature and its Wobus term are worked out only once.
class MoistAdiabat {
  public:
    MoistAdiabat(float T, float p);
    float At(float p2) const;
    // At(p2) with pw = PressureFactor(p2) already worked out (the same float).
    float At(float p2, float pw) const;

  private:
    float p1_;
    float thw_;
    float wobusThw_;
};

// A parcel lifted from its condensation level: the dry adiabat below the
// level, the moist adiabat (as WetLift gives it) above.
class LiftedParcel {
  public:
    explicit LiftedParcel(const CondensationLevel& lcl);
    // Temperature (deg C) of the parcel at pressure p (mb).
    float TempAt(float p) const;
    // TempAt(p), with PressureFactor(p) taken from factor() where the parcel
    // is saturated (the same float).
    template <typename Factor> float TempAt(float p, Factor&& factor) const {
        return p < lcl_.Pressure ? moist_.At(p, factor()) : DryAt(p);
    }

  private:
    // On the dry adiabat, at or below the condensation level.
    float DryAt(float p) const;

    CondensationLevel lcl_;
    MoistAdiabat moist_;
};

// CAPE (J/kg) of time column t of the current model for a parcel that leaves
// the level of free convection at the temperature of its surroundings and
// rises moist-adiabatically, counted up to 3, 4, 5 and 6 km above ground (or
// to the equilibrium level, or to the top level, when lower). Sets
// CapeShearDone.
void LiftParcelProfile(const ProfileArrays& store, std::int16_t t, LayerCapeResults& layer);

// The surface parcel of time column t warmed and moistened by a lake of the
// options' temperature: its condensation level, temperature at each level,
// equilibrium level, CAPE and CAPE per metre of depth. Sets LakeCAPEDone.
void MakeCAPE(const ProfileArrays& store, std::int16_t t, LakeParcelResults& lake,
              const ParcelOptions& options);

} // namespace tarvex
