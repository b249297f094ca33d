// SPDX-License-Identifier: MIT
#pragma once

// A level's best result. No screen of this game keeps scores; the record exists so that states can be
// offered high scores through GameState::setHighScores.
struct LevelScore {
};
