#include "quantz/octree.h"

#include <algorithm>
#include <cmath>
#include <queue>

#include "quantz/colour_histogram.h"

namespace {

// The tree is six levels deep: a node at the bottom holds the histogram cells (up to 8) of a cube
// of 4 x 4 x 4 colours. Merging those cells would be the cheapest merges anyway.
constexpr int kLevels = 6;
constexpr int kDropBits = 8 - kLevels;

// The child slot of a point's bottom node at each level, most significant level first: the bits
// of red, green and blue interleaved.
uint32_t MortonKey(const ColourPoint& p) {
    const uint32_t r = static_cast<uint32_t>(p.red) >> kDropBits,
                   g = static_cast<uint32_t>(p.green) >> kDropBits,
                   b = static_cast<uint32_t>(p.blue) >> kDropBits;
    uint32_t key = 0;
    for (int bit = kLevels - 1; bit >= 0; --bit)
        key = key << 3 | ((r >> bit) & 1) << 2 | ((g >> bit) & 1) << 1 | ((b >> bit) & 1);
    return key;
}

// Sorts point numbers by key, 6 bits at a time.
std::vector<uint32_t> SortByKey(const std::vector<uint32_t>& keys) {
    constexpr int kDigitBits = 6;
    constexpr uint32_t kDigits = 1u << kDigitBits;
    std::vector<uint32_t> order(keys.size()), scratch(keys.size());
    for (uint32_t i = 0; i < order.size(); ++i)
        order[i] = i;
    for (int shift = 0; shift < 3 * kLevels; shift += kDigitBits) {
        size_t start[kDigits + 1] = {};
        for (uint32_t i : order)
            ++start[((keys[i] >> shift) & (kDigits - 1)) + 1];
        for (uint32_t d = 0; d < kDigits; ++d)
            start[d + 1] += start[d];
        for (uint32_t i : order)
            scratch[start[(keys[i] >> shift) & (kDigits - 1)]++] = i;
        order.swap(scratch);
    }
    return order;
}

struct Node {
    double weight = 0;
    double red = 0;
    double green = 0;
    double blue = 0;
    uint32_t begin = 0;  // the node's points: order[begin, end)
    uint32_t end = 0;
    int32_t parent = -1;
    int32_t firstChild = -1;  // children are consecutive nodes
    int32_t children = 0;
    int32_t innerChildren = 0;  // children that are not leaves yet
    bool leaf = false;

    Centre Mean() const { return Centre{red / weight, green / weight, blue / weight}; }
    // |sum|^2 / weight: the part of the group's squared error that its mean removes.
    double Explained() const { return (red * red + green * green + blue * blue) / weight; }
};

// A set of children of one node that ends up as one palette entry.
struct Group {
    double weight, red, green, blue;
    std::vector<int32_t> nodes;
};

class Octree {
public:
    Octree(const std::vector<ColourPoint>& points) : m_points(points) {
        std::vector<uint32_t> keys(points.size());
        for (size_t i = 0; i < points.size(); ++i)
            keys[i] = MortonKey(points[i]);
        m_order = SortByKey(keys);
        m_nodes.reserve(points.size() + 64);
        m_nodes.emplace_back();
        m_nodes[0].end = static_cast<uint32_t>(points.size());
        Build(0, 0, keys);
    }

    int64_t Leaves() const { return m_leaves; }

    // Merges the cheapest nodes until at most maxColours leaves remain.
    void Reduce(int maxColours, Progress& progress) {
        using Entry = std::pair<double, int32_t>;  // merge cost, node
        std::priority_queue<Entry, std::vector<Entry>, std::greater<Entry>> queue;
        for (size_t n = 0; n < m_nodes.size(); ++n) {
            if (!m_nodes[n].leaf && m_nodes[n].innerChildren == 0) queue.emplace(MergeCost(n), n);
        }
        while (m_leaves > maxColours && !queue.empty()) {
            const int32_t n = queue.top().second;
            queue.pop();
            Node& node = m_nodes[n];
            if (m_leaves - (node.children - 1) < maxColours) {
                PartialMerge(n, static_cast<int>(m_leaves - maxColours));
                break;
            }
            node.leaf = true;
            m_leaves -= node.children - 1;
            progress.Advance(node.children - 1);
            if (node.parent >= 0 && --m_nodes[node.parent].innerChildren == 0)
                queue.emplace(MergeCost(node.parent), node.parent);
        }
    }

    void Collect(std::vector<Centre>& centres, std::vector<uint8_t>& labels) const {
        centres.clear();
        labels.assign(m_points.size(), 0);
        std::vector<int32_t> stack{0};
        while (!stack.empty()) {
            const int32_t n = stack.back();
            stack.pop_back();
            const Node& node = m_nodes[n];
            if (node.leaf) {
                Label(node, static_cast<uint8_t>(centres.size()), labels);
                centres.push_back(node.Mean());
            } else if (n == m_partial) {
                for (const Group& group : m_groups) {
                    for (int32_t c : group.nodes)
                        Label(m_nodes[c], static_cast<uint8_t>(centres.size()), labels);
                    centres.push_back(Centre{group.red / group.weight, group.green / group.weight,
                                             group.blue / group.weight});
                }
            } else {
                for (int32_t c = 0; c < node.children; ++c)
                    stack.push_back(node.firstChild + c);
            }
        }
    }

private:
    // Creates the children of node n, which covers a run of points sorted by key, then their
    // subtrees.
    void Build(int32_t n, int level, const std::vector<uint32_t>& keys) {
        const uint32_t begin = m_nodes[n].begin, end = m_nodes[n].end;
        if (level == kLevels) {
            Node& node = m_nodes[n];
            for (uint32_t i = begin; i < end; ++i) {
                const ColourPoint& p = m_points[m_order[i]];
                const double w = p.weight;
                node.weight += w;
                node.red += w * p.red;
                node.green += w * p.green;
                node.blue += w * p.blue;
            }
            node.leaf = true;
            ++m_leaves;
            return;
        }
        const int shift = 3 * (kLevels - 1 - level);
        const auto first = static_cast<int32_t>(m_nodes.size());
        for (uint32_t i = begin; i < end;) {
            const uint32_t slot = keys[m_order[i]] >> shift & 7;
            uint32_t j = i + 1;
            while (j < end && (keys[m_order[j]] >> shift & 7) == slot)
                ++j;
            m_nodes.emplace_back();
            Node& child = m_nodes.back();
            child.begin = i;
            child.end = j;
            child.parent = n;
            i = j;
        }
        const auto children = static_cast<int32_t>(m_nodes.size()) - first;
        m_nodes[n].firstChild = first;
        m_nodes[n].children = children;
        m_nodes[n].innerChildren = level + 1 < kLevels ? children : 0;
        for (int32_t c = first; c < first + children; ++c) {
            Build(c, level + 1, keys);
            const Node& child = m_nodes[c];
            Node& node = m_nodes[n];
            node.weight += child.weight;
            node.red += child.red;
            node.green += child.green;
            node.blue += child.blue;
        }
    }

    // The squared error the merge adds: what the children's means explain beyond the parent's.
    double MergeCost(int32_t n) const {
        const Node& node = m_nodes[n];
        double explained = 0;
        for (int32_t c = 0; c < node.children; ++c)
            explained += m_nodes[node.firstChild + c].Explained();
        return explained - node.Explained();
    }

    // Joins the closest pairs of a node's children (Ward's cost) `merges` times.
    void PartialMerge(int32_t n, int merges) {
        std::vector<Group> groups;
        const Node& node = m_nodes[n];
        for (int32_t c = node.firstChild; c < node.firstChild + node.children; ++c) {
            const Node& kid = m_nodes[c];
            groups.push_back(Group{kid.weight, kid.red, kid.green, kid.blue, {c}});
        }
        for (int m = 0; m < merges && groups.size() > 1; ++m) {
            size_t bestA = 0, bestB = 1;
            double bestCost = INFINITY;
            for (size_t a = 0; a < groups.size(); ++a) {
                for (size_t b = a + 1; b < groups.size(); ++b) {
                    const Group& x = groups[a];
                    const Group& y = groups[b];
                    const double dr = x.red / x.weight - y.red / y.weight;
                    const double dg = x.green / x.weight - y.green / y.weight;
                    const double db = x.blue / x.weight - y.blue / y.weight;
                    const double cost =
                        x.weight * y.weight / (x.weight + y.weight) * (dr * dr + dg * dg + db * db);
                    if (cost < bestCost) {
                        bestCost = cost;
                        bestA = a;
                        bestB = b;
                    }
                }
            }
            Group& x = groups[bestA];
            const Group& y = groups[bestB];
            x.weight += y.weight;
            x.red += y.red;
            x.green += y.green;
            x.blue += y.blue;
            x.nodes.insert(x.nodes.end(), y.nodes.begin(), y.nodes.end());
            groups.erase(groups.begin() + static_cast<ptrdiff_t>(bestB));
        }
        m_partial = n;
        m_groups = std::move(groups);
        m_leaves -= merges;
    }

    void Label(const Node& node, uint8_t label, std::vector<uint8_t>& labels) const {
        for (uint32_t i = node.begin; i < node.end; ++i)
            labels[m_order[i]] = label;
    }

    const std::vector<ColourPoint>& m_points;
    std::vector<uint32_t> m_order;  // point numbers sorted by key: every node covers a run of it
    std::vector<Node> m_nodes;      // the children of a node are consecutive, after it
    int64_t m_leaves = 0;
    int32_t m_partial = -1;  // the node whose children were joined only in part, if any
    std::vector<Group> m_groups;
};

}  // namespace

void OctreeQuantise(const std::vector<ColourPoint>& points, int maxColours, std::vector<Centre>& centres,
                    std::vector<uint8_t>& labels, Progress& progress, int progressEnd) {
    Octree tree(points);
    progress.Stage(progressEnd, tree.Leaves() - maxColours);
    tree.Reduce(maxColours, progress);
    tree.Collect(centres, labels);
}
