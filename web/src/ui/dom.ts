// SPDX-License-Identifier: GPL-3.0-or-later
// Small helpers to build the page's elements without ever parsing markup.

export function el<K extends keyof HTMLElementTagNameMap>(tag: K, cls = '', text?: string): HTMLElementTagNameMap[K] {
  const e = document.createElement(tag);
  if (cls)
    e.className = cls;
  if (text !== undefined)
    e.textContent = text;
  return e;
}

// Places an element on the table in its units, as shares of the table, so it scales.
export function placeOn(e: HTMLElement, x: number, y: number, w: number, h: number, tw = 560, th = 394): void {
  e.style.left = `${(x / tw) * 100}%`;
  e.style.top = `${(y / th) * 100}%`;
  e.style.width = `${(w / tw) * 100}%`;
  e.style.height = `${(h / th) * 100}%`;
}

// Texts with %1, %2 markers, built as nodes: each value isolated in its own <bdi> so that a
// name in another script does not run into the words around it.
export function isolated(template: string, values: string[], classes: string[] = []): DocumentFragment {
  const f = document.createDocumentFragment();
  const numbers = [...new Set([...template.matchAll(/%(\d+)/g)].map((m) => Number(m[1])))].sort((a, b) => a - b);
  let last = 0;
  for (const m of template.matchAll(/%(\d+)/g)) {
    const i = numbers.indexOf(Number(m[1]));
    f.append(template.slice(last, m.index));
    const b = el('bdi', classes[i] ?? '', values[i] ?? m[0]);
    f.append(b);
    last = (m.index ?? 0) + m[0].length;
  }
  f.append(template.slice(last));
  return f;
}
