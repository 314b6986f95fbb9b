// The Keplerian broadcast orbit of GPS and QZSS LNAV, Galileo I/NAV and
// F/NAV, BeiDou D1/D2 and NavIC: the satellite's Earth-fixed position at a
// time from the sixteen quasi-Keplerian elements of one ephemeris.
//
//   A = sqrtA^2, n = sqrt(GM / A^3) + delta n, M = M0 + n tk, Kepler's
//   equation for E, true anomaly v, argument of latitude u = v + omega with
//   the second-harmonic corrections Cus/Cuc, radius A (1 - e cos E) + Crs/Crc,
//   inclination i0 + IDOT tk + Cis/Cic, and the node
//   Omega = Omega0 + (OmegaDot - OmegaE) tk - OmegaE toe.
//
// tk is measured from toe in the system's time scale. BeiDou GEO satellites
// are computed in an inertial-like frame (Omega = Omega0 + OmegaDot tk -
// OmegaE toe) and rotated by R_Z(OmegaE tk) R_X(-5 deg). Each system brings
// its own gravitational constant and Earth rotation rate.
#pragma once

#include "geodesy/coordinates.hpp"

namespace skyloam {

struct KeplerConstants {
  double gm;          // m^3/s^2
  double earth_rate;  // rad/s
};

// GPS (IS-GPS-200), also QZSS and NavIC.
inline constexpr KeplerConstants kGpsConstants{3.986005e14, 7.2921151467e-5};
// Galileo (OS SIS ICD).
inline constexpr KeplerConstants kGalileoConstants{3.986004418e14, 7.2921151467e-5};
// BeiDou (B1I ICD, CGCS2000).
inline constexpr KeplerConstants kBeidouConstants{3.986004418e14, 7.2921150e-5};

struct KeplerianElements {
  double toe = 0.0;     // seconds of the week
  double sqrt_a = 0.0;  // m^0.5
  double eccentricity = 0.0;
  double mean_anomaly = 0.0;            // M0, rad
  double mean_motion_difference = 0.0;  // delta n, rad/s
  double node = 0.0;                    // Omega0, rad
  double node_rate = 0.0;               // OmegaDot, rad/s
  double inclination = 0.0;             // i0, rad
  double inclination_rate = 0.0;        // IDOT, rad/s
  double perigee = 0.0;                 // omega, rad
  double cuc = 0.0, cus = 0.0;          // rad
  double crc = 0.0, crs = 0.0;          // m
  double cic = 0.0, cis = 0.0;          // rad
};

class KeplerianOrbit {
 public:
  // `toe_time`: toe on the continuous scale positions are asked in.
  KeplerianOrbit(const KeplerianElements& elements, KeplerConstants constants, bool geostationary,
                 double toe_time);

  // The Earth-fixed position at `time` (same scale as toe_time).
  Ecef position(double time) const;

 private:
  double toe_time_;
  double semi_major_axis_;
  double mean_motion_;
  double eccentricity_;
  double axis_ratio_;  // sqrt(1 - e^2)
  double mean_anomaly_;
  double sin_perigee_, cos_perigee_;
  double sin_inclination_, cos_inclination_;
  double inclination_rate_;
  double node_at_toe_;  // Omega0 - OmegaE toe
  double node_rate_;    // OmegaDot - OmegaE (OmegaDot for GEO)
  double cuc_, cus_, crc_, crs_, cic_, cis_;
  double earth_rate_;
  bool geostationary_;
};

}  // namespace skyloam
