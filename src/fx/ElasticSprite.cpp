#include "fx/ElasticSprite.hpp"

#include "runtime/PassTiming.hpp"

#include <SFML/Graphics/RenderTarget.hpp>
#include <algorithm>
#include <cmath>

const char* const ElasticSprite::bilinearFragmentSource = R"(#version 110
uniform bool useTexture;
uniform sampler2D texture;
uniform int renderTargetHeight;
uniform vec2 v0;
uniform vec2 v1;
uniform vec2 v2;
uniform vec2 v3;
uniform float textureRectLeftRatio;
uniform float textureRectTopRatio;
uniform float textureRectWidthRatio;
uniform float textureRectHeightRatio;
uniform vec4 c0;
uniform vec4 c1;
uniform vec4 c2;
uniform vec4 c3;

vec2 linesIntersection(vec2 aStart, vec2 aEnd, vec2 bStart, vec2 bEnd)
{
    vec2 a = aEnd - aStart;
    vec2 b = bEnd - bStart;
    // Parallel edges never meet: tilt both lines a hair so they meet far away instead.
    if (abs(atan(a.y, a.x) - atan(b.y, b.x)) < 0.01)
    {
        a = mix(aEnd, bEnd, 0.0001) - aStart;
        b = mix(bEnd, aEnd, 0.0001) - bStart;
    }
    vec2 c = aStart - bStart;
    float alpha = (b.x * c.y - b.y * c.x) / (b.y * a.x - b.x * a.y);
    return aStart + a * alpha;
}

void main()
{
    vec2 p = vec2(gl_FragCoord.x, float(renderTargetHeight) - gl_FragCoord.y);
    vec2 o = linesIntersection(v0, v3, v1, v2);
    vec2 n = linesIntersection(v1, v0, v2, v3);
    vec2 l = linesIntersection(o, p, v0, v1);
    vec2 m = linesIntersection(o, p, v3, v2);
    vec2 j = linesIntersection(n, p, v0, v3);
    vec2 k = linesIntersection(n, p, v2, v1);
    vec2 ratio = vec2(distance(p, l) / distance(m, l), distance(p, j) / distance(k, j));
    vec4 colour = mix(mix(c0, c3, ratio.x), mix(c1, c2, ratio.x), ratio.y);
    if (useTexture)
    {
        vec2 texCoord = vec2(ratio.x * textureRectWidthRatio + textureRectLeftRatio,
                             ratio.y * textureRectHeightRatio + textureRectTopRatio);
        gl_FragColor = colour * texture2D(texture, texCoord);
    }
    else
    {
        gl_FragColor = colour;
    }
}
)";

const char* const ElasticSprite::perspectiveVertexSource = R"(#version 110
uniform vec4 c0;
uniform vec4 c1;
uniform vec4 c2;
uniform vec4 c3;
uniform float w0;
uniform float w1;
uniform float w2;
uniform float w3;

void main()
{
    // The vertex colour only says which corner this is; the real colour is a uniform.
    vec4 colour = c0;
    float weight = w0;
    if (gl_Color.r > 0.5)
    {
        colour = c1;
        weight = w1;
    }
    else if (gl_Color.g > 0.5)
    {
        colour = c2;
        weight = w2;
    }
    else if (gl_Color.b > 0.5)
    {
        colour = c3;
        weight = w3;
    }
    gl_Position = gl_ModelViewProjectionMatrix * gl_Vertex;
    // The coordinates come multiplied by the weight; dividing it out per pixel (texture2DProj
    // divides by q) is what makes the interpolation projective.
    vec4 texCoord = gl_TextureMatrix[0] * gl_MultiTexCoord0;
    texCoord.w = weight;
    gl_TexCoord[0] = texCoord;
    gl_FrontColor = colour;
}
)";

const char* const ElasticSprite::perspectiveFragmentSource = R"(#version 110
uniform bool useTexture;
uniform sampler2D texture;

void main()
{
    if (useTexture)
    {
        gl_FragColor = gl_Color * texture2DProj(texture, gl_TexCoord[0]);
    }
    else
    {
        gl_FragColor = gl_Color;
    }
}
)";

bool ElasticShaders::load()
{
    if (!loaded && bilinear.loadFromMemory(ElasticSprite::bilinearFragmentSource, sf::Shader::Fragment))
        loaded = perspective.loadFromMemory(ElasticSprite::perspectiveVertexSource,
                                            ElasticSprite::perspectiveFragmentSource);
    return loaded;
}

namespace
{
sf::Glsl::Vec4 toVec4(sf::Color colour)
{
    return sf::Glsl::Vec4(colour.r / 255.f, colour.g / 255.f, colour.b / 255.f, colour.a / 255.f);
}

float distance(sf::Vector2f a, sf::Vector2f b)
{
    return std::hypot(a.x - b.x, a.y - b.y);
}
} // namespace

ElasticSprite::ElasticSprite(ElasticShaders* shaders)
    : shaderEnabled(shaders && sf::Shader::isAvailable()), shaders(shaders)
{
    if (shaderEnabled)
        shaders->load();
}

void ElasticSprite::setTexture(const sf::Texture& newTexture, bool resetRect)
{
    if (resetRect)
    {
        cornerOffsets.fill(sf::Vector2f(0.f, 0.f));
        const sf::Vector2u size = newTexture.getSize();
        textureRect = sf::FloatRect(0.f, 0.f, static_cast<float>(size.x), static_cast<float>(size.y));
    }
    texture = &newTexture;
    dirty = true;
}

void ElasticSprite::setTextureRect(const sf::FloatRect& rect)
{
    textureRect = rect;
    dirty = true;
}

void ElasticSprite::enableShader(bool enable)
{
    shaderEnabled = enable && shaders && sf::Shader::isAvailable();
    dirty = true;
}

void ElasticSprite::enablePerspective(bool enable)
{
    perspectiveEnabled = enable;
    if (enable)
        cornerWeights.resize(4, 0.f);
    dirty = true;
}

void ElasticSprite::setCornerOffset(int index, sf::Vector2f offset)
{
    if (index < 0 || index > 3)
        return;
    cornerOffsets[static_cast<std::size_t>(index)] = offset;
    dirty = true;
}

sf::Vector2f ElasticSprite::getCornerOffset(int index) const
{
    if (index < 0 || index > 3)
        return sf::Vector2f(0.f, 0.f);
    return cornerOffsets[static_cast<std::size_t>(index)];
}

sf::FloatRect ElasticSprite::getDrawnBounds() const
{
    sf::Vector2f low = vertices[0].position;
    sf::Vector2f high = low;
    for (const sf::Vertex& vertex : vertices)
    {
        low = sf::Vector2f(std::min(low.x, vertex.position.x), std::min(low.y, vertex.position.y));
        high = sf::Vector2f(std::max(high.x, vertex.position.x), std::max(high.y, vertex.position.y));
    }
    return sf::FloatRect(low, high - low);
}

void ElasticSprite::rebuild(const sf::Transform& statesTransform) const
{
    dirty = false;
    builtTransform = statesTransform * getTransform();

    const float w = textureRect.width;
    const float h = textureRect.height;
    const sf::Vector2f corners[4] = {{0.f, 0.f}, {0.f, h}, {w, h}, {w, 0.f}};
    for (std::size_t i = 0; i < 4; ++i)
        vertices[i].position = builtTransform.transformPoint(corners[i] + cornerOffsets[i]);

    const float left = textureRect.left;
    const float top = textureRect.top;
    const float right = left + w;
    const float bottom = top + h;
    if (!(shaderEnabled && perspectiveEnabled && texture))
    {
        vertices[0].texCoords = sf::Vector2f(left, top);
        vertices[1].texCoords = sf::Vector2f(left, bottom);
        vertices[2].texCoords = sf::Vector2f(right, bottom);
        vertices[3].texCoords = sf::Vector2f(right, top);
        return;
    }

    // Perspective: each corner's texture coordinate is weighted by how far the diagonals'
    // crossing lies from it, which is what makes the interpolation projective.
    const sf::Vector2f p0 = vertices[0].position;
    const sf::Vector2f p1 = vertices[1].position;
    const sf::Vector2f p2 = vertices[2].position;
    const sf::Vector2f p3 = vertices[3].position;
    const float t = ((p0.y - p1.y) * (p3.x - p1.x) - (p0.x - p1.x) * (p3.y - p1.y)) /
                    ((p3.y - p1.y) * (p2.x - p0.x) - (p3.x - p1.x) * (p2.y - p0.y));
    const sf::Vector2f crossing = p0 + t * (p2 - p0);
    const float d0 = distance(p0, crossing);
    const float d1 = distance(p1, crossing);
    const float d2 = distance(p2, crossing);
    const float d3 = distance(p3, crossing);
    cornerWeights[0] = (d0 + d2) / d2;
    cornerWeights[1] = (d1 + d3) / d3;
    cornerWeights[2] = (d0 + d2) / d0;
    cornerWeights[3] = (d1 + d3) / d1;

    const sf::Vector2u size = texture->getSize();
    const float sx = static_cast<float>(size.x);
    const float sy = static_cast<float>(size.y);
    vertices[0].texCoords = sf::Vector2f(left / sx, top / sy) * cornerWeights[0];
    vertices[1].texCoords = sf::Vector2f(left / sx, bottom / sy) * cornerWeights[1];
    vertices[2].texCoords = sf::Vector2f(right / sx, bottom / sy) * cornerWeights[2];
    vertices[3].texCoords = sf::Vector2f(right / sx, top / sy) * cornerWeights[3];
}

void ElasticSprite::draw(sf::RenderTarget& target, sf::RenderStates states) const
{
    const TimedPass pass("elastic sprite");
    if (dirty || !(states.transform * getTransform() == builtTransform))
        rebuild(states.transform);
    // The vertices already carry the whole transform.
    states.transform = sf::Transform::Identity;

    if (!shaderEnabled)
    {
        states.texture = texture;
        target.draw(vertices.data(), vertices.size(), sf::Quads, states);
    }
    else if (perspectiveEnabled)
    {
        drawPerspective(target, states);
    }
    else
    {
        drawBilinear(target, states);
    }
}

void ElasticSprite::setPerspectiveProgram(sf::Shader* program)
{
    perspectiveProgram = program;
}

void ElasticSprite::drawPerspective(sf::RenderTarget& target, sf::RenderStates states) const
{
    const std::array<sf::Color, 4> colours = {vertices[0].color, vertices[1].color, vertices[2].color,
                                              vertices[3].color};
    const bool ownProgram = perspectiveProgram && perspectiveProgram->getNativeHandle() != 0 && texture;
    sf::Shader& program = ownProgram ? *perspectiveProgram : shaders->perspective;
    if (ownProgram)
    {
        program.setUniform("currentTexture", *texture);
    }
    else
    {
        program.setUniform("useTexture", texture != nullptr);
        if (texture)
            program.setUniform("texture", *texture);
    }
    const char* const colourNames[4] = {"c0", "c1", "c2", "c3"};
    const char* const weightNames[4] = {"w0", "w1", "w2", "w3"};
    for (std::size_t i = 0; i < 4; ++i)
    {
        program.setUniform(colourNames[i], toVec4(colours[i]));
        program.setUniform(weightNames[i], cornerWeights[i]);
    }

    // The vertex shader tells the corners apart by these colours.
    vertices[0].color = sf::Color::Black;
    vertices[1].color = sf::Color::Red;
    vertices[2].color = sf::Color::Green;
    vertices[3].color = sf::Color::Blue;
    states.shader = &program;
    target.draw(vertices.data(), vertices.size(), sf::Quads, states);
    for (std::size_t i = 0; i < 4; ++i)
        vertices[i].color = colours[i];
}

void ElasticSprite::drawBilinear(sf::RenderTarget& target, sf::RenderStates states) const
{
    shaders->bilinear.setUniform("useTexture", texture != nullptr);
    if (texture)
    {
        const sf::Vector2u size = texture->getSize();
        const float sx = static_cast<float>(size.x);
        const float sy = static_cast<float>(size.y);
        shaders->bilinear.setUniform("texture", *texture);
        shaders->bilinear.setUniform("textureRectLeftRatio", textureRect.left / sx);
        shaders->bilinear.setUniform("textureRectTopRatio", textureRect.top / sy);
        shaders->bilinear.setUniform("textureRectWidthRatio", textureRect.width / sx);
        shaders->bilinear.setUniform("textureRectHeightRatio", textureRect.height / sy);
    }
    shaders->bilinear.setUniform("renderTargetHeight", static_cast<int>(target.getSize().y));
    const char* const cornerNames[4] = {"v0", "v1", "v2", "v3"};
    const char* const colourNames[4] = {"c0", "c1", "c2", "c3"};
    for (std::size_t i = 0; i < 4; ++i)
    {
        const sf::Vector2i pixel = target.mapCoordsToPixel(vertices[i].position);
        shaders->bilinear.setUniform(
            cornerNames[i], sf::Glsl::Vec2(static_cast<float>(pixel.x), static_cast<float>(pixel.y)));
        shaders->bilinear.setUniform(colourNames[i], toVec4(vertices[i].color));
    }
    states.shader = &shaders->bilinear;
    target.draw(vertices.data(), vertices.size(), sf::Quads, states);
}
