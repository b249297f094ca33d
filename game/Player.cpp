// SPDX-License-Identifier: MIT
#include "game/Player.h"

#include "assets/Images.h"
#include "game/Space.h"
#include "render/Drawer.h"
#include "render/ImageLoader.h"

#include <algorithm>

unsigned int Player::image = 0;

namespace {
// Whether the piece picture has been decoded, so a picture that fails to decode is tried only once.
bool imageLoaded = false;
}

Player::Player() : red(1.0f), green(1.0f), blue(1.0f), space(nullptr), food(5), cpu(false) {}

void Player::setColour(float newRed, float newGreen, float newBlue)
{
    red = newRed;
    green = newGreen;
    blue = newBlue;
}

void Player::setSpace(Space* newSpace)
{
    space = newSpace;
}

void Player::addFood(int amount)
{
    food += amount;
}

void Player::decrementFood()
{
    if (food > 0)
        --food;
}

void Player::setCPU()
{
    cpu = true;
}

bool Player::hasExplored(int index) const
{
    return std::find(explored.begin(), explored.end(), index) != explored.end();
}

void Player::addExplored(int index)
{
    if (!hasExplored(index))
        explored.push_back(index);
}

void Player::draw(Drawer* drawer)
{
    if (!imageLoaded) {
        imageLoaded = true;
        image = ImageLoader().loadInto(*drawer, Images::guy_png, Images::guy_png_size);
    }
    drawer->drawImage(image, static_cast<short>(space->x), static_cast<short>(space->y), 1.0f, 1.0f, red, green,
                      blue, 1.0f);
}
