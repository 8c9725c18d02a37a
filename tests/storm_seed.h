// The seed of a random storm: fresh each run, or ZENTROVAX_SEED=N to replay a reported failure.
#pragma once

#include <cstdlib>
#include <random>
#include <string>

inline unsigned StormSeed() {
    const char* replay = std::getenv("ZENTROVAX_SEED");
    return replay ? static_cast<unsigned>(std::stoul(replay)) : std::random_device{}();
}
