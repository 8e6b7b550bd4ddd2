// TPartyView: what the chart window shows at the moment a command is sent.
// The commander copies it into a sync or go-to file; it reads nothing else
// from the chart window.
#pragma once

struct TPartyView {
    double Ra = 0.0;  // atlas centre, radians
    double Dec = 0.0; // radians
    int ObjKind = 99; // selected object: kind code and number
    int ObjNo = 0;
    int Scale = 1000;  // atlas scale, pixels per radian
    int AutoDrive = 1; // 1: the chart follows the computer's clock
    // The dialled local date and time (used when not in auto drive).
    int Year = 2000, Month = 1, Day = 1, Hour = 0, Minute = 0;
    int Sens = 0; // sensitivity step, -5 to +5
    // MilkyWay, Constellation, Bayer, Flamsteed, StarName, Nebura e.t.c, Grid, Realistic.
    int Disp[8] = {1, 1, 0, 0, 1, 0, 1, 1};
};
