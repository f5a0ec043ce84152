// A QR code image, for texts a person copies from the screen to paper or a
// phone (the seal's key sheet).
#pragma once

#include <QByteArray>
#include <QImage>

// `data` as a QR code (error correction level M), black on white, `scale`
// pixels a module, with the four-module quiet zone readers need. A null image
// when the data do not fit in one code.
QImage QrCodeImage(const QByteArray& data, int scale = 4);
