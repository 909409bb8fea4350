#pragma once

#include <SFML/Graphics/Drawable.hpp>
#include <SFML/Graphics/Rect.hpp>
#include <SFML/Graphics/Shader.hpp>
#include <SFML/Graphics/Texture.hpp>
#include <SFML/Graphics/Transform.hpp>
#include <SFML/Graphics/Transformable.hpp>
#include <SFML/Graphics/Vertex.hpp>
#include <array>
#include <vector>

/// The two shader programs every elastic sprite draws through, compiled once by their owner
/// (the demo's resources) and shared by the sprites made with them.
struct ElasticShaders
{
    sf::Shader bilinear;
    sf::Shader perspective;
    bool loaded = false; ///< both compiled

    /// Compiles both programs unless they already are; a failure is reported by SFML and a
    /// later call tries again. Returns loaded.
    bool load();
};

/// A textured quadrilateral whose four corners can each be pushed away from the corners
/// of its rectangle, so a picture can be stretched, skewed and bent into any four-cornered
/// shape. It is drawn plainly (the graphics library's own interpolation, which shows the
/// seam between the quad's two triangles), through a bilinear fragment shader that maps
/// the picture smoothly across the whole shape, or with perspective-correct interpolation
/// that shows the picture as a plane seen in perspective.
///
/// Corners are numbered 0 top-left, 1 bottom-left, 2 bottom-right, 3 top-right.
/// The vertices are rebuilt lazily, on the draw after a setter was called or after the
/// transform (the sprite's own combined with the render states') changed.
class ElasticSprite : public sf::Drawable, public sf::Transformable
{
public:
    /// GLSL 1.10 sources of the shared shaders.
    static const char* const bilinearFragmentSource;
    static const char* const perspectiveVertexSource;
    static const char* const perspectiveFragmentSource;

    /// An empty sprite drawing through shaders (which must outlive it): no texture, zero-sized
    /// rectangle, shaders on when the platform supports them and shaders is not null. The
    /// first construction with shaders not yet compiled compiles them (ElasticShaders::load).
    explicit ElasticSprite(ElasticShaders* shaders = nullptr);

    /// Shows texture, which must outlive the sprite's use. With resetRect the corner
    /// offsets are cleared and the rectangle becomes the whole texture.
    void setTexture(const sf::Texture& texture, bool resetRect = false);

    /// Shows the part rect of the texture (texture pixels); its size is also the local
    /// size of the quad.
    void setTextureRect(const sf::FloatRect& rect);

    /// Draws through a shader when enable is true and the platform supports shaders,
    /// otherwise plainly.
    void enableShader(bool enable);

    /// Chooses the perspective path over the bilinear one for shader drawing.
    void enablePerspective(bool enable);

    /// Draws the perspective path through program (which must outlive the sprite's use)
    /// instead of the shared one, so the picture can go through an effect on its way to the
    /// target: program is built on perspectiveVertexSource and reads the picture from
    /// "currentTexture" with texture2DProj. Null, a program that did not load, or a sprite
    /// without a texture draws through the shared program.
    void setPerspectiveProgram(sf::Shader* program);

    /// Moves corner index (0 to 3) by offset local pixels from its rectangle corner.
    /// Any other index is ignored.
    void setCornerOffset(int index, sf::Vector2f offset);

    /// The offset of corner index (0 to 3); (0, 0) for any other index.
    sf::Vector2f getCornerOffset(int index) const;

    /// The texture shown, or null.
    const sf::Texture* getTexture() const { return texture; }

    /// The part of the texture shown, in texture pixels.
    const sf::FloatRect& getTextureRect() const { return textureRect; }

    /// Whether drawing goes through a shader.
    bool isShaderEnabled() const { return shaderEnabled; }

    /// Whether shader drawing uses the perspective path.
    bool isPerspectiveEnabled() const { return perspectiveEnabled; }

    /// The four vertices as the last draw left them: positions in render-target
    /// coordinates, texture coordinates in pixels (plain and bilinear) or normalised and
    /// multiplied by the corner weights (perspective). All at (0, 0) before the first draw.
    const std::array<sf::Vertex, 4>& getVertices() const { return vertices; }

    /// The smallest rectangle holding the four vertices as the last draw left them: what that
    /// draw covered of its target.
    sf::FloatRect getDrawnBounds() const;

    /// The perspective weights of the last rebuild, one per corner; empty until
    /// perspective is switched on.
    const std::vector<float>& getCornerWeights() const { return cornerWeights; }

    /// Whether the sprite's shaders have compiled.
    bool areShadersLoaded() const { return shaders && shaders->loaded; }

private:
    void draw(sf::RenderTarget& target, sf::RenderStates states) const override;
    void rebuild(const sf::Transform& statesTransform) const;
    void drawPerspective(sf::RenderTarget& target, sf::RenderStates states) const;
    void drawBilinear(sf::RenderTarget& target, sf::RenderStates states) const;

    // The rebuild happens inside the const draw, hence the mutable cache.
    mutable bool dirty = false;
    mutable std::array<sf::Vertex, 4> vertices;
    mutable std::vector<float> cornerWeights;
    std::array<sf::Vector2f, 4> cornerOffsets;
    const sf::Texture* texture = nullptr;
    sf::FloatRect textureRect;
    bool shaderEnabled;
    bool perspectiveEnabled = false;
    mutable sf::Transform builtTransform; ///< the full transform baked into the vertices
    ElasticShaders* shaders = nullptr;    ///< shared, not owned; null draws plainly
    sf::Shader* perspectiveProgram = nullptr; ///< setPerspectiveProgram; not owned
};
