// The window built from its description in the core: every control with the design's name as
// its id, its caption, font, place and tab position, laid out again on every resize.

export const Kind = {Frame: 0, Label: 1, ComboBox: 2, PushButton: 3, TextBox: 4, ListView: 5,
                     BandContainer: 6, Toolbar: 7};
const kTwipsPerPixel = 15;
const kPictures = ['', 'paste.svg', 'copy.svg'];
// Faces that stand in for the design's where it is missing, nearest first.
const kSansSerif = '"Liberation Sans", Arial, Helvetica, "DejaVu Sans", sans-serif';

function fontCss(font) {
    return `${font.bold ? 'bold ' : ''}${font.points}pt "${font.family}", ${kSansSerif}`;
}

// A caption's text with its access key: "&Compare" is "Compare" with C underlined.
function captionParts(caption) {
    const at = caption.indexOf('&');
    if (at < 0 || at + 1 >= caption.length) return {text: caption, key: ''};
    return {text: caption.slice(0, at) + caption.slice(at + 1), key: caption[at + 1], at};
}

function captionNode(caption) {
    const parts = captionParts(caption);
    const span = document.createElement('span');
    if (!parts.key) {
        span.textContent = parts.text;
        return span;
    }
    const key = document.createElement('u');
    key.textContent = parts.key;
    span.append(parts.text.slice(0, parts.at), key, parts.text.slice(parts.at + 1));
    return span;
}

function makeControl(control, form, pictures) {
    let element;
    switch (control.kind) {
    case Kind.Frame: {
        element = document.createElement('fieldset');
        const legend = document.createElement('legend');
        legend.textContent = control.caption;
        element.append(legend);
        break;
    }
    case Kind.Label:
        // A count label is the result of a command, read out when it changes.
        element = document.createElement(control.list === null ? 'label' : 'output');
        element.textContent = control.caption;
        if (control.centred) element.classList.add('centred');
        break;
    case Kind.ComboBox:
        // A text field; its list of column numbers is added by the page (combobox.js).
        element = document.createElement('input');
        element.type = 'text';
        element.value = control.caption;
        element.autocomplete = 'off';
        break;
    case Kind.PushButton: {
        element = document.createElement('button');
        element.type = 'button';
        element.append(captionNode(control.caption));
        const key = captionParts(control.caption).key;
        if (key) element.accessKey = key.toLowerCase();
        break;
    }
    case Kind.TextBox:
        element = document.createElement('input');
        element.type = 'text';
        element.value = control.caption;
        break;
    case Kind.ListView:
        element = document.createElement('div');
        break;
    case Kind.BandContainer:
        element = document.createElement('div');
        element.className = 'band';
        break;
    case Kind.Toolbar: {
        element = document.createElement('div');
        element.setAttribute('role', 'toolbar');
        const button = document.createElement('button');
        button.type = 'button';
        button.title = control.tooltip;
        button.setAttribute('aria-label', control.buttonName);
        button.tabIndex = control.tab;
        const picture = document.createElement('img');
        picture.src = pictures.dataset[`picture${control.picture}`] ?? kPictures[control.picture];
        picture.alt = '';
        button.append(picture);
        element.append(button);
        break;
    }
    }
    element.id = control.name;
    element.classList.add(`kind-${control.kind}`);
    element.style.font = fontCss(control.font);
    if (control.font.underline) element.style.textDecoration = 'underline';
    if (control.colour === 1) element.style.color = `rgb(${form.navy.join(',')})`;
    if (control.colour === 2) element.classList.add('highlight');
    if (control.accessibleName && control.kind !== Kind.Label && control.kind !== Kind.Frame) {
        element.setAttribute('aria-label', control.accessibleName);
    }
    if (control.kind === Kind.Label && control.list !== null) {
        element.setAttribute('aria-label', control.accessibleName);
    }
    return element;
}

// Builds every control into `root`, in tab order where each takes the focus, and returns them
// by index. `layOut(w, h)` gives the rectangles for an outer size in twips.
export function buildWindow(root, form, layOut) {
    const elements = [];
    for (const control of form.controls) {
        const element = makeControl(control, form, root);
        elements[control.index] = element;
        (control.container === null ? root : elements[control.container]).append(element);
    }
    // The tab order of the design: each control takes its place in document order too.
    form.tabOrder.forEach((index, position) => {
        const element = elements[index];
        const target = element.querySelector('button') ?? element;
        target.tabIndex = position + 1;
    });
    const place = () => {
        // The window's outer size from its client area, as the reference window measures it.
        const width = root.clientWidth * kTwipsPerPixel + form.borderWidth;
        const height = root.clientHeight * kTwipsPerPixel + form.borderHeight;
        const rects = layOut(width, height);
        for (const control of form.controls) {
            const r = rects[control.index];
            const style = elements[control.index].style;
            style.left = `${r.left / kTwipsPerPixel}px`;
            style.top = `${r.top / kTwipsPerPixel}px`;
            style.width = `${r.width / kTwipsPerPixel}px`;
            style.height = `${r.height / kTwipsPerPixel}px`;
        }
    };
    new ResizeObserver(place).observe(root);
    place();
    return elements;
}
