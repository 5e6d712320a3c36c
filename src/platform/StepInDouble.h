#pragma once
// Model values are floats, but a step such as 0.1 or 0.002 is taken in double
// precision and rounded to float once: 0.1 has no exact float, and the
// double step decides where thresholds and glides land.
namespace gx {

constexpr float stepInDouble(float value, double step)
{
    return static_cast<float>(static_cast<double>(value) + step);
}

} // namespace gx
