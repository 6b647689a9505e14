// The ten enemy designs, each drawn facing +u with animation phase t in [0, 1).
#include "ag_creatures.h"

namespace {

const float AG_Pi = 3.14159265f;
const float AG_Tau = 6.2831853f;

// A leg of two segments with a knee, tapering toward the foot.
void AG_Leg(AG_Body &b, float u0, float v0, float uk, float vk, float u1, float v1, float r, AG_Colour c)
{
    b.Capsule(u0, v0, uk, vk, r, r * 0.85f, c, 0.5f);
    b.Capsule(uk, vk, u1, v1, r * 0.85f, r * 0.5f, c, 0.5f);
}

} // namespace

void AG_DrawAmmonite(AG_Body &b, float t)
{
    // Tentacles reach forward out of the shell's mouth, waving.
    const AG_Colour flesh = {0.98f, 0.45f, 0.42f};
    for (int i = 0; i < 6; i++) {
        float vb = -5 + 2 * i;
        float pu = 4, pv = vb;
        for (int k = 1; k <= 5; k++) {
            float s = k / 5.0f;
            float nu = 4 + s * 14.5f;
            float nv = vb * (1 + 0.35f * s) + std::sin(AG_Tau * t + s * 3.6f + i * 1.3f) * 2.4f * s;
            b.Capsule(pu, pv, nu, nv, 1.9f - 1.2f * (s - 0.2f), 1.9f - 1.2f * s, flesh, 0.5f);
            pu = nu;
            pv = nv;
        }
    }
    // The head in the shell's mouth, with eyes on both sides.
    b.Ellipse(6, 0, 4.2f, 6.5f, 0, {0.75f, 0.28f, 0.3f}, 0.5f);
    for (int s = -1; s <= 1; s += 2)
        b.Ellipse(6.5f, 4.5f * s, 1.5f, 1.3f, 0, {0.05f, 0.05f, 0.08f}, 1.5f);
    // The coiled shell: a logarithmic spiral, ribbed, whorls parted by dark sutures.
    const float R = 13.5f, grow = 2.3f, cu = -4, cv = 0;
    b.Part(cu, cv, R + 1, [=](float lu, float lv) {
        AG_Local l;
        float du = lu - cu, dv = lv - cv, r = std::hypot(du, dv);
        if (r > R || r < 0.01f)
            return l;
        float phi = std::atan2(-dv, du);
        if (phi < 0)
            phi += AG_Tau; // 0 at the mouth, growing round the coil
        float outer = R * std::pow(grow, -phi / AG_Tau);
        float w = std::log(r / R) / std::log(grow) + phi / AG_Tau; // whorl coordinate
        float frac = w - std::floor(w);
        bool inOuter = r <= outer;
        if (!inOuter && r > R / grow)
            return l;
        l.in = true;
        float tube = (frac - 0.5f) * 2; // across each whorl
        l.nx = du / r * (0.55f + 0.5f * tube) + 0.0f;
        l.ny = dv / r * (0.55f + 0.5f * tube);
        l.nz = std::sqrt(std::fmax(0.1f, 1 - tube * tube * 0.6f));
        float rib = 0.5f + 0.5f * std::cos(phi * 16 + w * 4);
        AG_Colour base = AG_Mix({1.0f, 0.88f, 0.62f}, {0.85f, 0.55f, 0.3f}, rib * 0.55f);
        if (frac < 0.08f || frac > 0.95f)
            base = {0.35f, 0.18f, 0.1f};
        l.c = base;
        l.shine = 0.9f;
        return l;
    });
}

void AG_DrawScorpion(AG_Body &b, float t)
{
    // Pale amber: a desert scorpion, lighter than the sandstone it crosses.
    const AG_Colour shell = {1.0f, 0.68f, 0.22f}, legC = {0.72f, 0.4f, 0.12f}, claw = {1.0f, 0.8f, 0.34f};
    // Eight walking legs fanned forward and back, alternate legs in step.
    for (int s = -1; s <= 1; s += 2)
        for (int k = 0; k < 4; k++) {
            float ph = AG_Tau * t + k * AG_Pi * 0.5f + (s > 0 ? AG_Pi : 0);
            float u0 = 4 - 2.6f * k, sw = 1.8f * std::sin(ph);
            float spread = (1.5f - k) * 4.2f;
            AG_Leg(b, u0, 3.5f * s, u0 + spread * 0.45f + sw * 0.5f, 9.0f * s, u0 + spread + sw, 13.5f * s, 1.05f, legC);
        }
    // Pincers on jointed arms; the claws open and close.
    float open = 1.0f + 1.3f * (0.5f + 0.5f * std::sin(AG_Tau * t));
    for (int s = -1; s <= 1; s += 2) {
        b.Capsule(6, 3.5f * s, 10.5f, 8.0f * s, 1.9f, 1.7f, claw, 0.6f);
        b.Ellipse(13.5f, 8.5f * s, 3.6f, 2.7f, 0.25f * s, claw, 0.8f);
        b.Capsule(16, 8.5f * s - 0.8f * s, 19.3f, (8.5f - open) * s, 1.2f, 0.5f, claw, 0.8f);
        b.Capsule(16, 8.5f * s + 0.8f * s, 19.0f, (9.5f + open * 0.6f) * s, 1.1f, 0.5f, claw, 0.8f);
    }
    // Body: abdomen plates and the head shield.
    for (int k = 0; k < 3; k++)
        b.Ellipse(-1.5f - 3.2f * k, 0, 3.2f, 5.8f - 0.5f * k, 0, AG_Scale(shell, 1 - 0.06f * k), 0.7f);
    b.Ellipse(4, 0, 4.8f, 4.8f, 0, shell, 0.8f);
    for (int s = -1; s <= 1; s += 2)
        b.Ellipse(6.8f, 1.3f * s, 0.9f, 0.9f, 0, {0.05f, 0.05f, 0.05f}, 2.0f);
    // The tail arches back and curls to one side; it sways.
    float sway = 0.3f * std::sin(AG_Tau * t);
    const float path[6][2] = {{-9, 0}, {-12.5f, 0.3f}, {-15.5f, 2.2f}, {-17, 5.5f}, {-15.5f, 8.8f}, {-12.3f, 9.8f}};
    float cs = std::cos(sway), sn = std::sin(sway);
    float pu[6], pv[6];
    for (int k = 0; k < 6; k++) {
        float du = path[k][0] + 8, dv = path[k][1];
        pu[k] = -8 + du * cs - dv * sn;
        pv[k] = du * sn + dv * cs;
    }
    for (int k = 0; k < 5; k++)
        b.Ellipse(pu[k], pv[k], 2.6f - 0.25f * k, 2.6f - 0.25f * k, 0, AG_Scale(shell, 0.95f + 0.04f * k), 0.8f);
    b.Ellipse(pu[5], pv[5], 2.0f, 1.5f, std::atan2(pv[5] - pv[4], pu[5] - pu[4]), {1.0f, 0.85f, 0.3f}, 1.0f);
    b.Glow(pu[5] + 1.2f, pv[5] + 0.2f, 0.8f, {1.0f, 0.3f, 0.8f});
}

void AG_DrawSpectre(AG_Body &b, float t)
{
    // The shroud trails behind, rippling, ragged at its edge.
    b.Part(-5, 0, 15, [=](float lu, float lv) {
        AG_Local l;
        if (lu < -19 || lu > 6)
            return l;
        float s = (6 - lu) / 25; // 0 at the head, 1 at the tail
        float centre = std::sin(AG_Tau * t + lu * 0.33f) * 3.2f * s;
        float w = 7.5f * (1 - 0.75f * s) * (1 + 0.22f * std::sin(lu * 1.9f - AG_Tau * t * 2));
        float d = (lv - centre) / w;
        if (std::fabs(d) > 1)
            return l;
        // Tattered tail end.
        if (s > 0.75f && std::sin(lv * 2.4f + AG_Tau * t) > 1.6f - 2.2f * (s - 0.6f))
            return l;
        l.in = true;
        l.c = AG_Mix({0.8f, 0.9f, 1.0f}, {0.4f, 0.15f, 0.7f}, AG_Clamp(s * 1.3f, 0, 1));
        l.nx = 0;
        l.ny = d;
        l.nz = std::sqrt(std::fmax(0.05f, 1 - d * d));
        l.shine = 0.4f;
        return l;
    });
    // Bony hands reach forward.
    const AG_Colour bone = {0.85f, 0.88f, 0.95f};
    float reach = std::sin(AG_Tau * t) * 1.2f;
    for (int s = -1; s <= 1; s += 2) {
        b.Capsule(2, 6 * s, 11 + reach * s, 8.5f * s, 1.6f, 1.1f, {0.6f, 0.55f, 0.85f}, 0.3f);
        for (int f = -1; f <= 1; f++)
            b.Capsule(11 + reach * s, 8.5f * s, 14.5f + reach * s, (8.5f + 1.4f * f) * s, 0.7f, 0.4f, bone, 0.6f);
    }
    // The hood and the dark hollow of the face, with two burning eyes.
    b.Ellipse(5.5f, 0, 6.5f, 7, 0, {0.82f, 0.88f, 1.0f}, 0.7f);
    b.Ellipse(8.2f, 0, 3.6f, 4.6f, 0, {0.06f, 0.02f, 0.12f}, 0.2f, 0.4f);
    for (int s = -1; s <= 1; s += 2)
        b.Glow(9.2f, 1.9f * s, 1.25f, {0.3f, 1.0f, 0.5f});
}

void AG_DrawMechwasp(AG_Body &b, float t)
{
    const AG_Colour metal = {0.34f, 0.36f, 0.44f};
    // Legs tucked under the thorax.
    for (int s = -1; s <= 1; s += 2)
        for (int k = 0; k < 3; k++)
            AG_Leg(b, 3 - 2 * k, 2.5f * s, 2 - 3 * k, 6.5f * s, 4 - 5 * k, 9 * s, 0.8f, {0.2f, 0.2f, 0.25f});
    // Abdomen of riveted armour plates, yellow and gunmetal in turn, ending in a steel sting.
    b.Capsule(-14, 0, -22, 0, 1.6f, 0.25f, {0.9f, 0.93f, 1.0f}, 1.6f);
    b.Capsule(-14.5f, 0, -16, 0, 2.2f, 1.8f, {0.3f, 0.32f, 0.38f}, 1.0f);
    b.Part(-8, 0, 9.5f, [=](float lu, float lv) {
        AG_Local l;
        float eu = (lu + 8) / 8.5f, ev = lv / 5.4f, d2 = eu * eu + ev * ev;
        if (d2 > 1)
            return l;
        l.in = true;
        // Plates 3.4 units long: a seam between them, two rivets near each seam.
        float w = std::fmod(lu + 40, 3.4f);
        int plate = int((lu + 40) / 3.4f);
        l.c = plate % 2 ? AG_Colour{1.0f, 0.78f, 0.12f} : AG_Colour{0.4f, 0.43f, 0.5f};
        if (w < 0.55f)
            l.c = {0.1f, 0.1f, 0.13f};
        else if (w > 0.8f && w < 1.6f && std::fabs(std::fabs(lv) - 2.6f) < 0.75f)
            l.c = {0.95f, 0.97f, 1.0f};
        // Flat-faced plates, each tilted a little, so the panels catch the light in steps.
        l.nx = eu * 0.6f + (w - 1.7f) * 0.18f;
        l.ny = ev;
        l.nz = std::sqrt(std::fmax(0.02f, 1 - d2 * 0.8f));
        l.shine = 1.4f;
        return l;
    });
    b.Ellipse(2, 0, 4.6f, 4.2f, 0, metal, 1.2f);
    for (int s = -1; s <= 1; s += 2)
        b.Glow(2 + 1.8f * s, 3.0f, 0.45f, {0.95f, 0.97f, 1.0f});
    b.Glow(2, 0, 1.3f, {0.3f, 0.9f, 1.0f});
    b.Ellipse(8, 0, 3.4f, 4.6f, 0, metal, 1.2f);
    b.Polygon({6.2f, -1.0f, 10.8f, -0.4f, 10.8f, 0.4f, 6.2f, 1.0f}, {0.2f, 0.22f, 0.27f}, 0.2f, 0, 0.8f);
    for (int s = -1; s <= 1; s += 2) {
        b.Ellipse(8.8f, 2.9f * s, 2.4f, 1.9f, 0.3f * s, {0.15f, 0.15f, 0.18f}, 1.6f);
        b.Glow(9.2f, 2.9f * s, 1.2f, {1.0f, 0.2f, 0.1f});
        b.Capsule(10.5f, 1.4f * s, 15.5f, 4.5f * s, 0.6f, 0.4f, {0.2f, 0.2f, 0.25f}, 0.6f);
    }
    // Four blade wings of thin steel, beating: framed, ribbed, not counted for hits.
    float sweep = 0.55f * std::cos(AG_Tau * t);
    for (int s = -1; s <= 1; s += 2)
        for (int w = 0; w < 2; w++) {
            float ang = (1.75f + 0.45f * w + sweep) * s;
            float len = w == 0 ? 13.5f : 10.0f;
            float du = std::cos(ang), dv = std::sin(ang);
            float bu = 3 - w * 2, bv = 2.5f * s;
            b.Part(bu + du * len * 0.5f, bv + dv * len * 0.5f, len * 0.5f + 2, [=](float lu, float lv) {
                AG_Local l;
                float pu = lu - bu, pv = lv - bv;
                float a = pu * du + pv * dv, c = -pu * dv + pv * du;
                float eu = (a - len * 0.5f) / (len * 0.5f), ev = c / 3.4f;
                if (eu * eu + ev * ev > 1)
                    return l;
                l.in = true;
                l.solid = false;
                bool frame = eu * eu + ev * ev > 0.72f || std::fabs(ev + 0.35f) < 0.12f;
                bool rib = std::fabs(std::fmod(a + 20, 3.0f) - 1.5f) < 0.3f;
                l.c = frame ? AG_Colour{0.3f, 0.33f, 0.4f}
                            : (rib ? AG_Colour{0.55f, 0.6f, 0.68f} : AG_Mix({0.82f, 0.88f, 0.95f}, {0.6f, 0.68f, 0.8f}, eu * 0.5f + 0.5f));
                l.shine = 0.5f;
                return l;
            });
        }
}

void AG_DrawUfo(AG_Body &b, float t)
{
    // A flying saucer seen from above and in front, so it is drawn upright on the screen whatever
    // its heading; a headlamp on the rim shows which way it flies.
    AG_Body s(b.cv, b.cx, b.cy, 0, b.k);
    const float A = 17.5f, B = 7.0f, cy = 2.5f; // the rim's ellipse
    // The belly under the rim, with a glowing drive ring.
    s.Part(0, cy + 3, 14, [=](float u, float v) {
        AG_Local l;
        float eu = u / 12.5f, ev = (v - cy - 3) / 4.6f, d2 = eu * eu + ev * ev;
        if (d2 > 1)
            return l;
        l.in = true;
        l.c = {0.3f, 0.32f, 0.4f};
        l.nx = eu * 0.7f;
        l.ny = 0.6f;
        l.nz = 0.5f;
        l.shine = 0.8f;
        if (std::fabs(d2 - 0.45f) < 0.12f) {
            l.lit = false;
            l.c = AG_Mix({1.0f, 0.55f, 0.15f}, {1.0f, 0.95f, 0.6f}, 0.5f + 0.5f * std::cos(AG_Tau * t));
        }
        return l;
    });
    // The disc: a bright top plate sloping to a darker rim band, with radial panel seams.
    s.Part(0, cy, A + 1, [=](float u, float v) {
        AG_Local l;
        float eu = u / A, ev = (v - cy) / B, d2 = eu * eu + ev * ev;
        if (d2 > 1)
            return l;
        l.in = true;
        float r = std::sqrt(d2), a = std::atan2(ev, eu);
        l.c = r > 0.8f ? AG_Colour{0.45f, 0.48f, 0.58f} : AG_Colour{0.78f, 0.82f, 0.9f};
        float seam = std::fabs(std::fmod(a + AG_Tau + AG_Pi / 10, AG_Pi / 5) - AG_Pi / 10);
        if ((r > 0.45f && r < 0.8f && seam < 0.05f) || std::fabs(r - 0.8f) < 0.04f)
            l.c = {0.22f, 0.24f, 0.3f};
        l.nx = eu * 0.8f;
        l.ny = ev * 0.5f - 0.35f;
        l.nz = std::sqrt(std::fmax(0.05f, 1 - r * r * 0.6f));
        l.shine = 1.2f;
        return l;
    });
    // Rim lights chasing round the edge; the front ones drawn over the dome's foot.
    const AG_Colour cols[3] = {{1.0f, 0.3f, 0.3f}, {0.3f, 1.0f, 0.4f}, {0.4f, 0.7f, 1.0f}};
    for (int k = 0; k < 10; k++) {
        float a = AG_Tau * (k + t) / 10;
        float bright = 0.5f + 0.5f * std::cos(AG_Tau * (t * 2 + k / 10.0f));
        s.Glow(A * 0.9f * std::cos(a), cy + B * 0.9f * std::sin(a), 1.1f + 0.4f * bright,
               AG_Scale(cols[k % 3], 0.6f + 0.4f * bright));
    }
    // The glass dome with its pilot, standing up from the middle of the disc.
    s.Part(0, -2, 8, [=](float u, float v) {
        AG_Local l;
        float eu = u / 7.0f, ev = (v + 1.5f) / 7.5f, d2 = eu * eu + ev * ev;
        if (d2 > 1 || v > cy + 0.5f)
            return l;
        l.in = true;
        l.c = {0.3f, 0.8f, 1.0f};
        float pu = u / 2.8f, pv = (v + 1.5f) / 3.0f;
        if (pu * pu + pv * pv < 1)
            l.c = {0.35f, 0.8f, 0.35f};
        if (std::fabs(std::fabs(u) - 1.2f) < 0.8f && std::fabs(v + 2.2f) < 0.7f) // eyes
            l.c = {0.02f, 0.02f, 0.05f};
        l.nx = eu;
        l.ny = ev;
        l.nz = std::sqrt(std::fmax(0.05f, 1 - d2));
        l.shine = 1.8f;
        return l;
    });
    // The headlamp, on the rim toward the heading.
    s.Glow(A * 0.86f * b.ch, cy + B * 0.86f * b.sh, 2.0f, {1.0f, 1.0f, 0.75f});
    s.Glow(A * 0.86f * b.ch, cy + B * 0.86f * b.sh, 1.0f, {1.0f, 1.0f, 1.0f});
}

void AG_DrawTrilobite(AG_Body &b, float t)
{
    const AG_Colour legC = {0.55f, 0.3f, 0.2f};
    // Legs ripple in a wave along the body.
    for (int s = -1; s <= 1; s += 2)
        for (int k = 0; k < 8; k++) {
            float u = 7 - 2.6f * k + 1.2f * std::sin(AG_Tau * t - k * 0.8f + (s > 0 ? 0.4f : 0));
            b.Capsule(u + 0.5f, 8 * s, u - 0.5f, 12.5f * s, 0.8f, 0.5f, legC, 0.4f);
        }
    for (int s = -1; s <= 1; s += 2) {
        float wv = 0.6f * std::sin(AG_Tau * t + s);
        b.Capsule(12, 2.5f * s, 16, (5.5f + wv) * s, 0.7f, 0.5f, legC, 0.4f);
        b.Capsule(16, (5.5f + wv) * s, 18.5f, (8.5f + wv) * s, 0.5f, 0.3f, legC, 0.4f);
        // Genal spines sweep back from the head shield.
        b.Polygon({6, 8.5f * s, 2, 10.5f * s, -6, 11.2f * s, 1, 8.8f * s}, {0.25f, 0.55f, 0.6f}, 0, 0.3f * s);
    }
    // Body: the tail shield, overlapping armour segments with a raised middle lobe, the head
    // shield with its raised glabella, and crescent eyes.
    const AG_Colour shell = {0.3f, 0.66f, 0.72f}, lobe = {0.55f, 0.75f, 0.7f};
    b.Ellipse(-10.5f, 0, 5, 6.8f, 0, AG_Scale(shell, 0.85f), 0.7f);
    for (int k = 0; k < 7; k++) {
        float u = -8 + 1.9f * k;
        float half = 8.2f + 0.25f * k;
        b.Part(u, 0, half + 1, [=](float lu, float lv) {
            AG_Local l;
            float eu = (lu - u) / 1.5f, ev = lv / half;
            if (eu * eu + ev * ev > 1)
                return l;
            l.in = true;
            l.nx = eu * 0.9f;
            l.ny = ev * 0.7f;
            l.nz = std::sqrt(std::fmax(0.05f, 1 - eu * eu * 0.8f));
            l.c = AG_Scale(shell, 0.8f + 0.06f * (k % 2) + 0.2f * (1 - std::fabs(ev)));
            l.shine = 0.9f;
            return l;
        });
    }
    b.Capsule(-10, 0, 4, 0, 2.4f, 2.9f, lobe, 1.0f);
    for (int k = 0; k < 7; k++)
        b.Capsule(-8 + 1.9f * k - 0.9f, -2.2f, -8 + 1.9f * k - 0.9f, 2.2f, 0.25f, 0.25f, AG_Scale(lobe, 0.55f), 0.2f);
    b.Part(8, 0, 11, [=](float lu, float lv) {
        AG_Local l;
        float eu = (lu - 5.5f) / 8.5f, ev = lv / 10.0f;
        if (lu < 4.5f || eu * eu + ev * ev > 1)
            return l;
        l.in = true;
        l.nx = eu;
        l.ny = ev;
        l.nz = std::sqrt(std::fmax(0.05f, 1 - eu * eu - ev * ev));
        l.c = lu < 5.3f ? AG_Scale(shell, 0.5f) : AG_Scale(shell, 1.05f);
        l.shine = 0.9f;
        return l;
    });
    b.Ellipse(9.5f, 0, 3.6f, 2.8f, 0, lobe, 1.1f);
    for (int s = -1; s <= 1; s += 2)
        b.Ellipse(7.5f, 5.2f * s, 1.6f, 1.2f, 0, {0.1f, 0.1f, 0.15f}, 2.0f);
}

void AG_DrawScarab(AG_Body &b, float t)
{
    const AG_Colour legC = {0.3f, 0.22f, 0.14f};
    // Six legs in a tripod gait.
    const float base[3] = {6, 2, -3}, foot[3][2] = {{14, 10}, {3, 14.5f}, {-11, 13}};
    for (int s = -1; s <= 1; s += 2)
        for (int k = 0; k < 3; k++) {
            float ph = AG_Tau * t + ((k % 2) ^ (s > 0 ? 1 : 0)) * AG_Pi;
            float sw = 2.6f * std::sin(ph);
            float fu = foot[k][0] + sw, fv = foot[k][1] * s;
            float ku = (base[k] + fu) * 0.5f, kv = (3.5f * s + fv) * 0.5f + 2.5f * s;
            AG_Leg(b, base[k], 3.5f * s, ku, kv, fu, fv, 1.2f, legC);
        }
    // Iridescent wing cases with a seam, the pronotum, and the head with its toothed clypeus.
    auto irid = [](float nx, float ny) {
        float k = 0.5f + 0.5f * (nx * 0.7f - ny * 0.7f);
        return AG_Mix(AG_Mix({0.15f, 0.8f, 0.4f}, {0.2f, 0.45f, 1.0f}, k), {1.0f, 0.8f, 0.3f}, 0.15f);
    };
    b.Part(-4, 0, 12, [=](float lu, float lv) {
        AG_Local l;
        float eu = (lu + 4) / 10.5f, ev = lv / 9.2f, d2 = eu * eu + ev * ev;
        if (d2 > 1)
            return l;
        l.in = true;
        l.nx = eu;
        l.ny = ev;
        l.nz = std::sqrt(std::fmax(0.02f, 1 - d2));
        l.c = std::fabs(lv) < 0.5f ? AG_Colour{0.05f, 0.1f, 0.08f} : irid(eu, ev);
        l.shine = 1.3f;
        return l;
    });
    b.Part(7.5f, 0, 8, [=](float lu, float lv) {
        AG_Local l;
        float eu = (lu - 7.5f) / 3.8f, ev = lv / 6.8f, d2 = eu * eu + ev * ev;
        if (d2 > 1)
            return l;
        l.in = true;
        l.nx = eu;
        l.ny = ev;
        l.nz = std::sqrt(std::fmax(0.02f, 1 - d2));
        l.c = AG_Mix(irid(eu, ev), {1.0f, 0.75f, 0.25f}, 0.35f);
        l.shine = 1.3f;
        return l;
    });
    b.Ellipse(12, 0, 2.8f, 4.2f, 0, {0.25f, 0.2f, 0.12f}, 0.9f);
    for (int k = -1; k <= 1; k++)
        b.Polygon({14, k * 2.2f - 0.9f, 16.5f, k * 2.2f, 14, k * 2.2f + 0.9f}, {0.9f, 0.7f, 0.3f});
}

void AG_DrawSkull(AG_Body &b, float t)
{
    // Seen face on, the crown leading: +u is the top of the head, v runs across the face.
    const AG_Colour bone = {0.96f, 0.92f, 0.8f}, hollow = {0.12f, 0.04f, 0.05f};
    float chatter = 1.4f * (0.5f + 0.5f * std::sin(AG_Tau * t));
    float glow = 0.5f + 0.5f * std::cos(AG_Tau * t);
    // The lower jaw drops and rises under the skull.
    b.Part(-11 - chatter, 0, 7, [=](float lu, float lv) {
        AG_Local l;
        float a = lu + chatter; // jaw's own frame, closed position
        float half = 6.0f - std::fmax(0.0f, -10.5f - a) * 1.6f;
        if (a > -8.6f || a < -14 || std::fabs(lv) > half)
            return l;
        l.in = true;
        l.c = a > -10.4f && std::fabs(std::fmod(lv + 20.8f, 1.6f) - 0.8f) > 0.62f ? hollow
                                                                               : AG_Scale(bone, a > -10.4f ? 1.0f : 0.88f);
        l.nx = (a + 11) / 6;
        l.ny = lv / 7;
        l.nz = 0.8f;
        return l;
    });
    b.Part(0, 0, 16, [=](float lu, float lv) {
        AG_Local l;
        float ca = lu - 4, r = std::hypot(ca, lv);
        bool crown = r < 10.5f;
        float half = 8.6f - std::fmax(0.0f, -lu - 3) * 0.55f;
        bool face = lu <= 4 && lu >= -9 && std::fabs(lv) <= half;
        if (!crown && !face)
            return l;
        l.in = true;
        l.c = bone;
        l.shine = 0.6f;
        if (crown && lu > 0) {
            l.nx = ca / 10.5f;
            l.ny = lv / 10.5f;
            l.nz = std::sqrt(std::fmax(0.05f, 1 - r * r / 110.25f));
        } else {
            l.nx = lu < -6 ? -0.3f : 0.0f;
            l.ny = lv / 12;
            l.nz = 0.9f;
        }
        // Hollow temples.
        if (std::fabs(lv) > 7 && lu > -3 && lu < 2)
            l.c = AG_Scale(bone, 0.75f);
        // Upper teeth.
        if (lu < -7.2f) {
            bool gap = std::fabs(std::fmod(lv + 20.8f, 1.6f) - 0.8f) > 0.62f || std::fabs(lv) > 5.2f;
            l.c = gap ? hollow : AG_Colour{1, 1, 0.94f};
        }
        // The nose: an upturned heart of shadow.
        float na = lu + 4.6f;
        if (na < 0 && na > -3 && std::fabs(lv) < 1.6f + na * 0.45f)
            l.c = hollow;
        return l;
    });
    // Sockets, with a fire burning in each.
    for (int s = -1; s <= 1; s += 2) {
        b.Ellipse(-0.8f, 4.1f * s, 3.5f, 3.1f, 0.25f * s, hollow, 0.2f, 0.3f);
        b.Glow(-1.0f, 4.1f * s, 1.1f + 0.8f * glow, {1.0f, 0.3f, 0.05f});
    }
    // A crack across the crown.
    b.Capsule(12, -2.5f, 9, -0.5f, 0.35f, 0.3f, {0.45f, 0.38f, 0.3f}, 0.1f);
    b.Capsule(9, -0.5f, 7.5f, 2.2f, 0.3f, 0.25f, {0.45f, 0.38f, 0.3f}, 0.1f);
}

void AG_DrawMechspider(AG_Body &b, float t)
{
    const AG_Colour metal = {0.62f, 0.66f, 0.74f}, dark = {0.36f, 0.39f, 0.46f}, piston = {0.9f, 0.92f, 0.96f};
    const AG_Colour lamp = {0.3f, 1.0f, 0.85f};
    // Eight jointed steel legs stepping in two alternating groups: a thigh, a bright piston along
    // it, a ball joint at the knee and a pointed foot.
    for (int s = -1; s <= 1; s += 2)
        for (int k = 0; k < 4; k++) {
            float ph = AG_Tau * t + ((k + (s > 0 ? 1 : 0)) % 2) * AG_Pi;
            float sw = 2.4f * std::sin(ph), lift = std::cos(ph);
            float u0 = 5 - 2.4f * k, v0 = 3 * s;
            float fan = (1.5f - k) * 4.8f;
            float ku = u0 + fan * 0.55f + sw * 0.4f, kv = (11 + 0.8f * lift) * s;
            float fu = u0 + fan + sw, fv = 17.5f * s;
            b.Capsule(u0, v0, ku, kv, 1.5f, 1.2f, metal, 1.0f);
            b.Capsule(u0 + (ku - u0) * 0.2f, v0 + (kv - v0) * 0.2f, u0 + (ku - u0) * 0.8f, v0 + (kv - v0) * 0.8f, 0.45f,
                      0.45f, piston, 1.4f);
            b.Capsule(ku, kv, fu, fv, 1.0f, 0.45f, dark, 1.0f);
            b.Ellipse(ku, kv, 1.5f, 1.5f, 0, {0.25f, 0.27f, 0.32f}, 1.4f);
            b.Glow(ku, kv, 0.6f, lamp, true);
        }
    // A riveted steel hull split into plates, with a glowing reactor grille at its back.
    b.Part(-8, 0, 8.5f, [=](float lu, float lv) {
        AG_Local l;
        float eu = (lu + 8) / 7.6f, ev = lv / 6.8f, d2 = eu * eu + ev * ev;
        if (d2 > 1)
            return l;
        l.in = true;
        l.c = metal;
        if (std::fabs(lv) < 0.35f || std::fabs(lu + 8 - 1.5f) < 0.3f)
            l.c = {0.15f, 0.16f, 0.2f};
        if (d2 > 0.55f && d2 < 0.7f && std::fabs(std::fmod(std::atan2(ev, eu) + 20, 0.7f) - 0.35f) < 0.12f)
            l.c = {0.95f, 0.97f, 1.0f}; // rivets round the edge
        l.nx = eu;
        l.ny = ev;
        l.nz = std::sqrt(std::fmax(0.02f, 1 - d2));
        l.shine = 1.3f;
        return l;
    });
    for (int g = 0; g < 3; g++)
        b.Capsule(-13 + 1.6f * g, -2.2f, -13 + 1.6f * g, 2.2f, 0.45f, 0.45f, lamp, 0.2f);
    // Head: a steel turret with a row of lit eyes and two cutting mandibles.
    b.Ellipse(3.5f, 0, 6, 5.5f, 0, dark, 1.3f);
    b.Polygon({6.5f, -3.6f, 8.6f, -2.2f, 8.6f, 2.2f, 6.5f, 3.6f}, {0.1f, 0.1f, 0.14f}, 0.3f, 0, 0.8f);
    for (int s = -1; s <= 1; s += 2) {
        b.Glow(7.7f, 1.2f * s, 0.9f, lamp);
        b.Glow(7.0f, 2.9f * s, 0.7f, lamp);
        b.Capsule(9, 1.6f * s, 11.5f, 1.0f * s, 0.8f, 0.4f, piston, 1.0f);
    }
}

void AG_DrawRocket(AG_Body &b, float t)
{
    // Exhaust flame, flickering in length; bright but not counted for hits.
    float len = 6.5f + 3.0f * std::cos(AG_Tau * t);
    const float nozzle = -8.5f;
    b.Part(nozzle - len * 0.5f, 0, len * 0.5f + 4, [=](float lu, float lv) {
        AG_Local l;
        float s = (nozzle - lu) / len; // 0 at the nozzle, 1 at the tip
        if (s < 0 || s > 1)
            return l;
        float w = 3.2f * (1 - s * s) * (0.85f + 0.15f * std::sin(s * 9 + AG_Tau * t * 2));
        if (std::fabs(lv) > w)
            return l;
        l.in = true;
        l.lit = false;
        l.solid = false;
        float k = std::fabs(lv) / (w + 0.01f);
        l.c = AG_Mix(AG_Mix({1, 1, 0.9f}, {1.0f, 0.85f, 0.25f}, s * 1.5f), {1.0f, 0.35f, 0.05f}, AG_Clamp(k + s * 0.7f, 0, 1));
        return l;
    });
    const AG_Colour red = {0.92f, 0.16f, 0.12f}, white = {0.93f, 0.94f, 0.97f};
    // The nozzle bell.
    b.Polygon({-6, 2.6f, nozzle, 3.4f, nozzle, -3.4f, -6, -2.6f}, {0.35f, 0.37f, 0.42f}, -0.2f, 0, 0.8f);
    for (int s = -1; s <= 1; s += 2)
        b.Polygon({0, 4.3f * s, -6.5f, 4.3f * s, -9.5f, 9.5f * s, -6, 9.5f * s}, red, 0, 0.35f * s, 0.5f);
    // The body: a round-shaded cylinder with a red band, a porthole and a nose cone.
    b.Part(0, 0, 16, [=](float lu, float lv) {
        AG_Local l;
        float r;
        if (lu >= -6.5f && lu <= 5)
            r = 4.5f;
        else if (lu > 5 && lu <= 15)
            r = 4.5f * std::sqrt(std::fmax(0.0f, 1 - ((lu - 5) / 10) * ((lu - 5) / 10)));
        else
            return l;
        if (std::fabs(lv) > r)
            return l;
        l.in = true;
        float n = lv / (r + 0.01f);
        l.nx = lu > 5 ? (lu - 5) / 12 : 0;
        l.ny = n;
        l.nz = std::sqrt(std::fmax(0.02f, 1 - n * n));
        l.c = (lu > 6.5f || (lu > -5 && lu < -3.2f)) ? red : white;
        l.shine = 1.0f;
        return l;
    });
    b.Ellipse(1.5f, 0, 2.3f, 2.3f, 0, {0.4f, 0.45f, 0.55f}, 0.8f);
    b.Ellipse(1.5f, 0, 1.6f, 1.6f, 0, {0.25f, 0.7f, 1.0f}, 1.8f);
}
