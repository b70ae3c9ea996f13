#pragma once
// Force platforms of a C3D recording (group FORCE_PLATFORM), read from its
// parameters and analog channels:
//
//   USED      element 0: the number of platforms
//   TYPE      element p: platform p's type; 2 = six channels (Fx Fy Fz Mx My
//             Mz), 3 = eight (two X forces, two Y forces, four vertical)
//   CHANNEL   1-based analog channel of each platform channel
//   ORIGIN    three values per platform: element 3p + 0, 1, 2
//   CORNERS   twelve per platform: corner i has x at 12p + 3i, y at 12p + 3i + 1
//   ZERO      two sample numbers: the stretch that gives each channel's baseline
//
// and the six whole-recording series of a type-2 or type-3 platform, in the
// laboratory's axes: forces FX, FY, FZ, centre of pressure DX, DY and free
// moment TZ. Everything is computed in single precision, reads the parameters
// again at each call and only reads the recording.

#include <cstddef>
#include <string>
#include <vector>

class CParam;
class CRecording;

// Element i of a parameter as the plate computations read it: "%d" of a BYTE
// (unsigned) or INT, a FLOAT with `decimals` decimals; empty for CHAR, other
// type codes or an element the parameter lacks.
std::string FormatParamElement(const CParam* param, int i, int decimals);

// FORCE_PLATFORM:USED element 0 as a signed whole number (a BYTE as signed
// 8-bit, a FLOAT truncated, a CHAR string read as a decimal integer); 0 when
// missing, empty or not positive. Held to 32767: no file holds more plates
// than a 16-bit count says.
int GetPlateCount(const CRecording& rec);
// FORCE_PLATFORM:TYPE element p as a whole number (a FLOAT to the nearest, a
// CHAR string read as a decimal integer); 0 when there is none.
int GetPlateType(const CRecording& rec, int p);
// Analog channel index (0-based) of platform p's channel k, or -1 when
// CHANNEL or TYPE is missing, the element is missing or an earlier platform's
// type is outside 1..4 (consecutive numbering only). The index is not checked
// against the recording's channels.
int GetPlateChannel(const CRecording& rec, int p, int k);
// ORIGIN element 3p + axis; 0.0 when missing.
float GetPlateOrigin(const CRecording& rec, int p, int axis);

// The plate's centre in the laboratory and the angle (degrees) of one of its
// edges against an axis.
struct CPlateGeometry {
  float cx = 0.0f;
  float cy = 0.0f;
  float angle = 0.0f;
};
// False, with a zero geometry, when CORNERS is missing, CHAR or lacks one of
// the plate's eight x and y values.
bool GetPlateGeometryX(const CRecording& rec, int p, CPlateGeometry& geometry);
bool GetPlateGeometryY(const CRecording& rec, int p, CPlateGeometry& geometry);
// +1 or -1 as the plate's X (axis 0) or Y (axis 1) edge runs along or against
// the laboratory's axis; +1 when CORNERS is missing or CHAR, 0 when a corner
// value it needs is missing.
int GetPlateAxisSign(const CRecording& rec, int p, int axis);
// The sign a force component is written with so that it points along the
// laboratory's axis: the axis sign where the plate has usable corners;
// otherwise +1 for X and -1 for Y.
int GetPlateForceSign(const CRecording& rec, int p, int axis);

// The six components, in the order the VDO export writes them.
enum class PlateComponent { FX = 0, FY, FZ, DX, DY, TZ };
inline constexpr int kPlateComponents = 6;

// Each series fills `out` with R x frame count values over the whole
// recording (analog sample order), all 0 first; a series whose channels are
// missing or outside the recording's analog channels stays all 0.
// Type 2 (forces and moments measured by the plate):
void ComputeForceX(const CRecording& rec, int p, std::vector<float>& out);
void ComputeForceY(const CRecording& rec, int p, std::vector<float>& out);
void ComputeForceZ(const CRecording& rec, int p, std::vector<float>& out);
void ComputeCopX(const CRecording& rec, int p, std::vector<float>& out);
void ComputeCopY(const CRecording& rec, int p, std::vector<float>& out);
void ComputeFreeMoment(const CRecording& rec, int p, std::vector<float>& out);
// Type 3 (eight force signals):
void ComputeForceX3(const CRecording& rec, int p, std::vector<float>& out);
void ComputeForceY3(const CRecording& rec, int p, std::vector<float>& out);
void ComputeForceZ3(const CRecording& rec, int p, std::vector<float>& out);
void ComputeCopX3(const CRecording& rec, int p, std::vector<float>& out);
void ComputeCopY3(const CRecording& rec, int p, std::vector<float>& out);
void ComputeFreeMoment3(const CRecording& rec, int p, std::vector<float>& out);

// Component c of platform p by the plate's type; false (and `out` all 0)
// for a type other than 2 and 3.
bool ComputePlateComponent(const CRecording& rec, int p, PlateComponent c, std::vector<float>& out);

// 1 for every analog sample where platform p has a centre of pressure (its
// vertical force is not blanked and not near 0), else 0; R x frame count
// values like the series. All 0 for a type other than 2 and 3 and where the
// channels are missing.
void ComputeCopShown(const CRecording& rec, int p, std::vector<unsigned char>& out);

// The four corners of platform p as CORNERS stores them (x, y, z of corner
// 0, then of corner 1, ...); false when CORNERS is missing, CHAR or lacks
// one of the twelve values.
bool GetPlateCorners(const CRecording& rec, int p, float corners[12]);
