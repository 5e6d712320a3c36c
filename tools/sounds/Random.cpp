#include "Random.h"

#include <cmath>

namespace gx::synth {

int Random::below(int n)
{
    if (n <= 0)
        return 0;
    return static_cast<int>(uniform() * n);
}

double Random::gaussian()
{
    // Box-Muller; 1 - uniform() lies in (0, 1], so the log is finite.
    const double u = 1.0 - uniform();
    const double v = uniform();
    return std::sqrt(-2.0 * std::log(u)) * std::cos(2.0 * 3.14159265358979323846 * v);
}

} // namespace gx::synth
