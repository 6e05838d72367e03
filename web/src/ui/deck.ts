// SPDX-License-Identifier: GPL-3.0-or-later
// The card faces: the deck's picture file, read once into a hidden <svg> of the page, and
// each face drawn by reference to its element there.

const SvgNs = 'http://www.w3.org/2000/svg';

interface Face { viewBox: string; transform: string; }

// The page allows no inline style (its policy says style-src 'self'; a style attribute is
// refused as soon as the deck is parsed), and a deck's drawing keeps its colours in style
// attributes: before parsing, each declaration becomes the SVG attribute of the same name,
// which the policy does not touch. The style's declaration wins over an attribute already
// there, as it did in the style.
export function presentationAttributes(svg: string): string {
  return svg.replace(/<([A-Za-z][\w:.-]*)(\s[^<>]*?)(\/?)>/g, (tag, name: string, body: string, close: string) => {
    if (!/\sstyle\s*=/.test(body))
      return tag;
    const attributes = new Map<string, string>();
    for (const m of body.matchAll(/([\w:.-]+)\s*=\s*("[^"]*"|'[^']*')/g))
      attributes.set(m[1]!, m[2]!.slice(1, -1));
    const style = attributes.get('style') ?? '';
    attributes.delete('style');
    for (const declaration of style.split(';')) {
      const colon = declaration.indexOf(':');
      if (colon < 0)
        continue;
      const property = declaration.slice(0, colon).trim().toLowerCase();
      const value = declaration.slice(colon + 1).replace(/!important/i, '').trim().replace(/"/g, '&quot;');
      if (/^[a-z][a-z-]*$/.test(property) && value !== '')
        attributes.set(property, value);
    }
    const written = [...attributes].map(([k, v]) => ` ${k}="${v}"`).join('');
    return `<${name}${written}${close}>`;
  });
}

export class DeckArt {
  private faces = new Map<string, Face>();
  private container: SVGSVGElement | null = null;
  ready = false;

  // Reads the deck; a missing or broken file leaves the faces drawn by hand instead.
  async load(url = 'deck.svg'): Promise<void> {
    try {
      const response = await fetch(url);
      if (!response.ok)
        return;
      const doc = new DOMParser().parseFromString(presentationAttributes(await response.text()), 'image/svg+xml');
      const root = doc.documentElement;
      if (root.nodeName !== 'svg')
        return;
      const holder = document.createElementNS(SvgNs, 'svg');
      holder.setAttribute('aria-hidden', 'true');
      holder.setAttribute('focusable', 'false');
      holder.classList.add('deck-store');
      for (const child of Array.from(root.childNodes))
        holder.appendChild(document.importNode(child, true));
      for (const a of Array.from(root.attributes))
        if (a.name === 'viewBox')
          holder.setAttribute('viewBox', a.value);
      document.body.appendChild(holder);
      this.container = holder;
      this.ready = true;
    } catch {
      this.ready = false;
    }
  }

  // The box and the transform of one face, in the deck's own coordinates: a <use> draws the
  // element with its own transform but not its groups', so theirs is put on the <use>.
  private face(id: string): Face | null {
    const known = this.faces.get(id);
    if (known)
      return known;
    if (!this.container)
      return null;
    const el = this.container.querySelector<SVGGraphicsElement>(`[id="${CSS.escape(id)}"]`);
    if (!el || typeof el.getBBox !== 'function')
      return null;
    const box = el.getBBox();
    const rootCtm = this.container.getCTM();
    const elCtm = el.getCTM();
    if (!rootCtm || !elCtm || box.width <= 0 || box.height <= 0)
      return null;
    const full = DOMMatrix.fromMatrix(rootCtm).inverse().multiply(DOMMatrix.fromMatrix(elCtm));
    const own = el.transform.baseVal.consolidate()?.matrix ?? new DOMMatrix();
    const groups = full.multiply(DOMMatrix.fromMatrix(own).inverse());
    const corners = [[box.x, box.y], [box.x + box.width, box.y], [box.x, box.y + box.height],
      [box.x + box.width, box.y + box.height]].map(([x, y]) => new DOMPoint(x, y).matrixTransform(full));
    const xs = corners.map((p) => p.x);
    const ys = corners.map((p) => p.y);
    const minX = Math.min(...xs);
    const minY = Math.min(...ys);
    const face = {
      viewBox: `${minX} ${minY} ${Math.max(...xs) - minX} ${Math.max(...ys) - minY}`,
      transform: `matrix(${groups.a} ${groups.b} ${groups.c} ${groups.d} ${groups.e} ${groups.f})`,
    };
    this.faces.set(id, face);
    return face;
  }

  // Fills `into` with the face of the card `id`; false when the deck has no such face.
  draw(into: Element, id: string): boolean {
    const face = this.face(id);
    if (!face)
      return false;
    const svg = document.createElementNS(SvgNs, 'svg');
    svg.setAttribute('viewBox', face.viewBox);
    svg.setAttribute('preserveAspectRatio', 'none');
    svg.setAttribute('aria-hidden', 'true');
    svg.setAttribute('focusable', 'false');
    const use = document.createElementNS(SvgNs, 'use');
    use.setAttribute('href', '#' + id);
    use.setAttribute('transform', face.transform);
    svg.appendChild(use);
    into.replaceChildren(svg);
    return true;
  }
}
