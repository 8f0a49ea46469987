#pragma once
// The one sound player of the client: plays one WAV file at a time and tells when
// it has finished. Implementations: the media player (components), a null player
// for machines without sound, and a recording player in the tests.
#include <QObject>
#include <QString>

class WavePlayer : public QObject {
    Q_OBJECT
public:
    enum class Mode { NotReady, Stopped, Playing };
    using QObject::QObject;
    ~WavePlayer() override = default;

    virtual Mode mode() const = 0;
    // Opens and starts the file. Returns false with a message when the file cannot be
    // opened or played (nothing plays then and no notice follows).
    virtual bool play(const QString& path, QString* error) = 0;
    // Stops the sound that plays; its completion notice follows.
    virtual void stop() = 0;

signals:
    // Exactly one per started sound, on the main thread, once the player is stopped.
    void notify();
};
