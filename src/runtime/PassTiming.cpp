#include "runtime/PassTiming.hpp"

#include <SFML/OpenGL.hpp>
#include <algorithm>
#include <cmath>

PassObserver* passObserver = nullptr;
bool drawingShortcuts = true;

namespace
{
// Passes open now; only the outermost one is reported.
int openPasses = 0;
} // namespace

TimedPass::TimedPass(const char* name, const char* detail)
    : name(name), detail(detail), reported(passObserver != nullptr && openPasses == 0)
{
    ++openPasses;
    if (reported)
        passObserver->passBegins();
}

TimedPass::~TimedPass()
{
    --openPasses;
    // The observer may have been taken away while the pass ran; then nothing is told.
    if (reported && passObserver)
        passObserver->passEnds(name, detail);
}

sf::FloatRect boundsUnion(const sf::FloatRect& a, const sf::FloatRect& b)
{
    if (!(a.width > 0.f && a.height > 0.f))
        return b;
    if (!(b.width > 0.f && b.height > 0.f))
        return a;
    const float left = std::min(a.left, b.left);
    const float top = std::min(a.top, b.top);
    const float right = std::max(a.left + a.width, b.left + b.width);
    const float bottom = std::max(a.top + a.height, b.top + b.height);
    return sf::FloatRect(left, top, right - left, bottom - top);
}

DrawWithin::DrawWithin(sf::RenderTarget& target, const sf::FloatRect& box)
{
    if (!drawingShortcuts || !target.setActive(true) || glIsEnabled(GL_SCISSOR_TEST))
        return;
    const sf::Vector2u size = target.getSize();
    const auto clamp = [](float value, unsigned int limit)
    { return static_cast<GLint>(std::clamp(value, 0.f, static_cast<float>(limit))); };
    const GLint left = clamp(std::floor(box.left), size.x);
    const GLint right = clamp(std::ceil(box.left + box.width), size.x);
    const GLint top = clamp(std::floor(box.top), size.y);
    const GLint bottom = clamp(std::ceil(box.top + box.height), size.y);
    // OpenGL counts rows from the bottom, and every target here is drawn the right way up.
    glEnable(GL_SCISSOR_TEST);
    glScissor(left, static_cast<GLint>(size.y) - std::max(top, bottom), std::max(0, right - left),
              std::max(0, bottom - top));
    limited = &target;
}

DrawWithin::~DrawWithin()
{
    if (limited && limited->setActive(true))
        glDisable(GL_SCISSOR_TEST);
}
