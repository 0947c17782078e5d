// Weights through which cubic segments are sampled in 256 steps.
#pragma once

struct PluginState;

// x multiplied by itself n - 1 times; 1.0 when n < 1.
double IntPower(double x, short n);

// Fills bezierA256 ((1 - t)^3, weight of P0) and bezierB256 (3t(1 - t)^2, weight of P1), and both
// read backwards.
void BuildBezierTables(PluginState& state);
