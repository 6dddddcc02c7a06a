#pragma once

#include <cstdio>
#include <string>
#include <vector>

// One line per measured figure, the same layout in every bench program:
//   <name> <value> <unit>   goal <goal>   PASS|MISS   (<details>)
// The runner and whoever reads its output look only at these lines.
struct BenchFigure
{
    std::string name;
    double value = 0;
    int decimals = 2;
    std::string unit;
    std::string goal;   // e.g. "<= 1.10"
    bool pass = false;
    std::string details;

    void print() const
    {
        std::printf("%s %.*f%s%s   goal %s   %s", name.c_str(), decimals, value, unit.empty() ? "" : " ",
                    unit.c_str(), goal.c_str(), pass ? "PASS" : "MISS");
        if (!details.empty())
            std::printf("   (%s)", details.c_str());
        std::printf("\n");
        std::fflush(stdout);
    }
};

// printf into a std::string, for the details of a figure.
template <typename... Args>
std::string benchText(const char *format, Args... args)
{
    char buffer[256];
    std::snprintf(buffer, sizeof buffer, format, args...);
    return buffer;
}

// "median of N spans of S s: a, b, c" for the details of a figure taken as the
// median of several spans.
inline std::string benchSpans(const std::vector<double> &values, double seconds, int decimals)
{
    std::string text = benchText("median of %d spans of %.0f s:", static_cast<int>(values.size()), seconds);
    for (size_t i = 0; i < values.size(); ++i)
        text += benchText(i == 0 ? " %.*f" : ", %.*f", decimals, values[i]);
    return text;
}
