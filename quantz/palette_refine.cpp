#include "quantz/palette_refine.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr size_t kProgressChunk = 4096;  // points per progress step

struct Neighbour {
    float distance;  // squared distance between the two centres
    int index;
};

// For every centre all centres (itself first) by rising distance. A point at squared distance d
// from its centre a cannot be nearer to a centre b with |a - b|^2 >= 4d, so the search along a's
// list stops there. Centres move little from one pass to the next, so the lists of the last pass
// are re-sorted by insertion, which costs little more than recomputing the distances.
class NeighbourLists {
public:
    explicit NeighbourLists(size_t n) : m_n(n), m_lists(n * n) {
        for (size_t a = 0; a < n; ++a) {
            for (size_t b = 0; b < n; ++b)
                m_lists[a * n + b].index = static_cast<int>(b);
        }
    }

    void Update(const float* red, const float* green, const float* blue) {
        for (size_t a = 0; a < m_n; ++a) {
            Neighbour* list = &m_lists[a * m_n];
            for (size_t k = 0; k < m_n; ++k) {
                const int b = list[k].index;
                const float dr = red[a] - red[b], dg = green[a] - green[b], db = blue[a] - blue[b];
                list[k].distance = dr * dr + dg * dg + db * db;
            }
            if (m_first) {
                std::sort(list, list + m_n,
                          [](const Neighbour& x, const Neighbour& y) { return x.distance < y.distance; });
                continue;
            }
            for (size_t k = 1; k < m_n; ++k) {
                const Neighbour moving = list[k];
                size_t j = k;
                for (; j > 0 && list[j - 1].distance > moving.distance; --j)
                    list[j] = list[j - 1];
                list[j] = moving;
            }
        }
        m_first = false;
    }

    const Neighbour* List(int a) const { return &m_lists[a * m_n]; }

private:
    size_t m_n;
    std::vector<Neighbour> m_lists;
    bool m_first = true;
};

}  // namespace

int64_t RefineSteps(size_t points, int passes) {
    return passes * static_cast<int64_t>(points / kProgressChunk + 1);
}

double RefineCentres(const std::vector<ColourPoint>& points, std::vector<uint8_t>& labels,
                     std::vector<Centre>& centres, int passes, Progress& progress) {
    const size_t n = centres.size();
    NeighbourLists neighbours(n);
    std::vector<float> red(n), green(n), blue(n);
    struct Sum {
        double weight, red, green, blue;
    };
    std::vector<Sum> sums(n);
    double total = 0;
    for (const ColourPoint& p : points)
        total += p.weight;
    double error = MeanSquaredError(points, labels, centres);
    double previous = INFINITY;

    for (int pass = 0; pass < passes; ++pass) {
        for (size_t c = 0; c < n; ++c) {
            red[c] = static_cast<float>(centres[c].red);
            green[c] = static_cast<float>(centres[c].green);
            blue[c] = static_cast<float>(centres[c].blue);
        }
        neighbours.Update(red.data(), green.data(), blue.data());
        std::fill(sums.begin(), sums.end(), Sum{0, 0, 0, 0});
        double squared = 0;
        for (size_t i = 0; i < points.size(); ++i) {
            if (i % kProgressChunk == kProgressChunk - 1) progress.Advance();
            const ColourPoint& p = points[i];
            auto distance = [&](int c) {
                const float dr = p.red - red[c], dg = p.green - green[c], db = p.blue - blue[c];
                return dr * dr + dg * dg + db * db;
            };
            const int home = labels[i];
            int best = home;
            float bestDistance = distance(home);
            const float limit = 4 * bestDistance;
            const Neighbour* list = neighbours.List(home);
            for (size_t k = 1; k < n && list[k].distance < limit; ++k) {
                const float d = distance(list[k].index);
                if (d < bestDistance) {
                    bestDistance = d;
                    best = list[k].index;
                }
            }
            labels[i] = static_cast<uint8_t>(best);
            Sum& s = sums[best];
            const double w = p.weight;
            s.weight += w;
            s.red += w * p.red;
            s.green += w * p.green;
            s.blue += w * p.blue;
            squared += w * bestDistance;
        }
        for (size_t c = 0; c < n; ++c) {
            const Sum& s = sums[c];
            if (s.weight > 0) centres[c] = Centre{s.red / s.weight, s.green / s.weight, s.blue / s.weight};
        }
        error = squared / total;
        progress.Advance();                   // the last, partial chunk
        if (error > previous * 0.999) break;  // converged
        previous = error;
    }
    return error;
}

double MeanSquaredError(const std::vector<ColourPoint>& points, const std::vector<uint8_t>& labels,
                        const std::vector<Centre>& centres) {
    double squared = 0, total = 0;
    for (size_t i = 0; i < points.size(); ++i) {
        squared += points[i].weight * SquaredDistance(points[i], centres[labels[i]]);
        total += points[i].weight;
    }
    return total > 0 ? squared / total : 0;
}

void MergeClosestGroups(const std::vector<ColourPoint>& points, std::vector<uint8_t>& labels,
                        std::vector<Centre>& centres, int target) {
    const size_t n = centres.size();
    std::vector<double> weight(n, 0);
    std::vector<Centre> sum(n, Centre{0, 0, 0});
    for (size_t i = 0; i < points.size(); ++i) {
        const ColourPoint& p = points[i];
        const int g = labels[i];
        weight[g] += p.weight;
        sum[g].red += double(p.weight) * p.red;
        sum[g].green += double(p.weight) * p.green;
        sum[g].blue += double(p.weight) * p.blue;
    }
    std::vector<int> into(n);  // the group each one has been joined to, itself while alive
    std::vector<bool> alive(n);
    int living = 0;
    for (size_t g = 0; g < n; ++g) {
        into[g] = static_cast<int>(g);
        alive[g] = weight[g] > 0;
        living += alive[g];
    }
    auto cost = [&](size_t a, size_t b) {
        const double dr = sum[a].red / weight[a] - sum[b].red / weight[b];
        const double dg = sum[a].green / weight[a] - sum[b].green / weight[b];
        const double db = sum[a].blue / weight[a] - sum[b].blue / weight[b];
        return weight[a] * weight[b] / (weight[a] + weight[b]) * (dr * dr + dg * dg + db * db);
    };
    // Each living group's cheapest partner among the later groups; refreshed where it changed.
    std::vector<double> best(n, INFINITY);
    std::vector<int> partner(n, -1);
    auto refresh = [&](size_t a) {
        best[a] = INFINITY;
        partner[a] = -1;
        for (size_t b = a + 1; b < n; ++b) {
            if (!alive[b]) continue;
            const double c = cost(a, b);
            if (c < best[a]) best[a] = c, partner[a] = static_cast<int>(b);
        }
    };
    for (size_t a = 0; a < n; ++a)
        if (alive[a]) refresh(a);
    while (living > target) {
        size_t a = n;
        for (size_t g = 0; g < n; ++g)
            if (alive[g] && partner[g] >= 0 && (a == n || best[g] < best[a])) a = g;
        if (a == n) break;
        const size_t b = static_cast<size_t>(partner[a]);
        weight[a] += weight[b];
        sum[a].red += sum[b].red;
        sum[a].green += sum[b].green;
        sum[a].blue += sum[b].blue;
        alive[b] = false;
        into[b] = static_cast<int>(a);
        --living;
        for (size_t g = 0; g < n; ++g) {
            if (!alive[g]) continue;
            if (g == a || partner[g] == static_cast<int>(a) || partner[g] == static_cast<int>(b)) {
                refresh(g);
            } else if (g < a) {
                const double c = cost(g, a);
                if (c < best[g]) best[g] = c, partner[g] = static_cast<int>(a);
            }
        }
    }
    std::vector<int> number(n, -1);
    std::vector<Centre> kept;
    for (size_t g = 0; g < n; ++g) {
        if (!alive[g]) continue;
        number[g] = static_cast<int>(kept.size());
        kept.push_back(Centre{sum[g].red / weight[g], sum[g].green / weight[g], sum[g].blue / weight[g]});
    }
    for (uint8_t& label : labels) {
        int g = label;
        while (into[g] != g)
            g = into[g];
        label = static_cast<uint8_t>(number[g]);
    }
    centres = std::move(kept);
}

Palette ToPalette(const std::vector<Centre>& centres) {
    Palette palette;
    palette.count = static_cast<int>(std::min<size_t>(centres.size(), kPaletteEntries));
    auto level = [](double v) { return static_cast<uint8_t>(std::clamp(std::lround(v), 0L, 255L)); };
    for (int i = 0; i < palette.count; ++i) {
        palette.entries[i] =
            RGBQUAD{level(centres[i].blue), level(centres[i].green), level(centres[i].red), 0};
    }
    return palette;
}
