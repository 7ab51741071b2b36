// The root of drawable objects.
#pragma once

class SceneObject {
public:
    virtual ~SceneObject() = default;

    virtual void draw(float) { }
    virtual void release() { }

    bool isGenerated() const { return generated; }

protected:
    bool generated = false;
};
