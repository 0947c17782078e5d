#include "geometry/bezier_tables.h"

#include "shell/plugin_state.h"

double IntPower(double x, short n) {
    if (n < 1) return 1.0;
    double result = x;
    for (short i = 1; i < n; ++i) result *= x;
    return result;
}

void BuildBezierTables(PluginState& state) {
    for (int i = 1; i < kBezierSteps; ++i) {
        const double t = i / static_cast<double>(kBezierSteps);
        state.bezierA256[i] = IntPower(1.0 - t, 3);
        state.bezierB256[i] = t * IntPower(t - 1.0, 2) * 3.0;
    }
    // The ends are set exactly rather than computed.
    state.bezierA256[0] = 1.0;
    state.bezierB256[0] = 0.0;
    state.bezierA256[kBezierSteps] = 0.0;
    state.bezierB256[kBezierSteps] = 0.0;
    for (int i = 0; i <= kBezierSteps; ++i) {
        state.bezierA256Reversed[i] = state.bezierA256[kBezierSteps - i];
        state.bezierB256Reversed[i] = state.bezierB256[kBezierSteps - i];
    }
    constexpr int kQuarter = kBezierSteps / 4;
    for (int row = 0; row <= kQuarter; ++row) {
        for (int lane = 0; lane < 4; ++lane) {
            const int i = lane * kQuarter + row;
            double* const weights = state.bezierQuarterRows[row];
            weights[lane] = state.bezierA256[i];
            weights[4 + lane] = state.bezierB256[i];
            weights[8 + lane] = state.bezierB256Reversed[i];
            weights[12 + lane] = state.bezierA256Reversed[i];
        }
    }
}
