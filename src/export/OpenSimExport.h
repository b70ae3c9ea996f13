#pragma once
// The two files OpenSim reads, written from the common shape:
//
// TRC (markers): the tab-separated header of PathFileType 4 (the file name;
// DataRate, CameraRate, NumFrames, NumMarkers, Units, OrigDataRate,
// OrigDataStartFrame, OrigNumFrames), the marker names, the X1 Y1 Z1 ... row
// and an empty line, then a row per frame of the range: the frame number,
// its time from the recording's first frame and each selected marker's
// coordinates in the file's units (integer ones scaled); a frame without data
// is three empty cells.
//
// MOT (analog and forces): the storage header (the file name, version=1,
// nRows, nColumns, inDegrees=no, endheader), then a "time" column and each
// selected analog channel scaled, a row per analog sample of the range. For
// each force plate of the two computed types, in the laboratory's axes and
// from the series the VDO flavour writes: "p_ground_force_vx/vy/vz" its
// force on the subject (N), "p_ground_force_px/py/pz" the centre of pressure
// and 0 in metres, "p_ground_torque_x/y/z" 0, 0 and the free moment (N m).

#include <cstdint>

#include "export/ExportJob.h"

std::uint64_t ExportTrc(const CExportJob& job);
std::uint64_t ExportMot(const CExportJob& job);
