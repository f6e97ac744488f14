#include "soak_analysis.h"

#include <algorithm>
#include <cmath>

double median_level(const std::vector<tone_window>& w, double from_s, double to_s) {
    std::vector<double> m;
    for (const tone_window& x : w)
        if (x.t_s >= from_s && x.t_s < to_s) m.push_back(x.magnitude());
    if (m.empty()) return 0;
    std::nth_element(m.begin(), m.begin() + std::ptrdiff_t(m.size() / 2), m.end());
    return m[m.size() / 2];
}

std::vector<glitch> find_glitches(const std::vector<tone_window>& w, double from_s, double to_s,
                                  double max_phase_step_rad, double reference) {
    std::vector<glitch> found;
    if (reference < 0) reference = median_level(w, from_s, to_s);
    bool open = false;
    double previous_phase = 0;
    bool have_previous = false;
    for (size_t k = 0; k < w.size(); ++k) {
        const tone_window& x = w[k];
        if (x.t_s < from_s || x.t_s >= to_s) continue;
        const double level = x.magnitude();
        std::string kind;
        if (level < 0.01 * reference) {
            kind = "silence";
        } else if (level < 0.5 * reference) {
            kind = "dip";
        } else if (have_previous) {
            const double step = std::remainder(x.phase() - previous_phase, 2 * M_PI);
            if (std::abs(step) > max_phase_step_rad) kind = "phase jump";
        }
        if (level >= 0.5 * reference) {
            previous_phase = x.phase();
            have_previous = true;
        }
        const double end = k + 1 < w.size() ? w[k + 1].t_s : x.t_s;
        if (kind.empty()) {
            open = false;
            continue;
        }
        if (open) {
            glitch& g = found.back();
            g.length_s = end - g.t_s;
            if (kind == "silence") g.kind = kind;
        } else {
            found.push_back({x.t_s, end - x.t_s, kind});
            open = true;
        }
    }
    return found;
}

std::vector<edge> find_edges(const std::vector<tone_window>& w, double from_s, double to_s) {
    std::vector<edge> edges;
    double top = 0;
    for (const tone_window& x : w)
        if (x.t_s >= from_s && x.t_s < to_s) top = std::max(top, x.magnitude());
    const double half = top / 2;
    bool on = false, known = false;
    for (size_t k = 0; k < w.size(); ++k) {
        const tone_window& x = w[k];
        if (x.t_s < from_s || x.t_s >= to_s) continue;
        const bool now_on = x.magnitude() > half;
        if (known && now_on != on && k > 0) {
            // Interpolate the crossing between the two windows' centres.
            const tone_window& p = w[k - 1];
            const double a = p.magnitude(), b = x.magnitude();
            const double f = b != a ? (half - a) / (b - a) : 0.5;
            edges.push_back({p.t_s + f * (x.t_s - p.t_s), now_on});
        }
        on = now_on;
        known = true;
    }
    return edges;
}

std::vector<edge_delay> pair_edges(const std::vector<edge>& in, const std::vector<edge>& out,
                                   double max_s) {
    std::vector<edge_delay> pairs;
    size_t j = 0;
    for (const edge& e : in) {
        while (j < out.size() && out[j].t_s < e.t_s) ++j;
        for (size_t k = j; k < out.size() && out[k].t_s < e.t_s + max_s; ++k) {
            if (out[k].rising == e.rising) {
                pairs.push_back({e.t_s, out[k].t_s - e.t_s});
                break;
            }
        }
    }
    return pairs;
}

double tone_back_at(const std::vector<tone_window>& w, double from_s, double reference,
                    double hold_s) {
    double since = -1;
    for (const tone_window& x : w) {
        if (x.t_s < from_s) continue;
        if (x.magnitude() > 0.5 * reference) {
            if (since < 0) since = x.t_s;
            if (x.t_s - since >= hold_s) return since;
        } else {
            since = -1;
        }
    }
    return -1;
}
