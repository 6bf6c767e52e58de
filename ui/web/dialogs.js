// The window's message boxes as modal <dialog>s, each as the window's description draws it:
// its title, icon and buttons. Each answers through a promise once the user closes it.

const kIcons = ['', '!', 'i'];  // none, exclamation, information

let open = Promise.resolve();

// Shows `text` as the message `design` ({title, icon, retryCancel}) describes, after any box
// still open; resolves to 'retry', 'cancel' or 'ok'. Escape answers Cancel, or OK.
export function showMessageBox(design, text) {
    const shown = open.then(() => ask(design, text));
    open = shown.catch(() => {});
    return shown;
}

function ask(design, text) {
    const dialog = document.createElement('dialog');
    dialog.className = 'message';
    const titleId = `message-title-${Date.now()}`;
    dialog.setAttribute('aria-labelledby', titleId);
    const title = document.createElement('h2');
    title.id = titleId;
    title.textContent = design.title;
    const body = document.createElement('div');
    body.className = 'message-body';
    if (design.icon !== 0) {
        const icon = document.createElement('span');
        icon.className = `message-icon icon-${design.icon === 1 ? 'exclamation' : 'information'}`;
        icon.setAttribute('aria-hidden', 'true');
        icon.textContent = kIcons[design.icon];
        body.append(icon);
    }
    const words = document.createElement('p');
    words.className = 'message-text';
    words.textContent = text;  // user data shows as plain text
    body.append(words);
    const form = document.createElement('form');
    form.method = 'dialog';
    const answers = design.retryCancel ? [['retry', 'Retry'], ['cancel', 'Cancel']] : [['ok', 'OK']];
    for (const [value, caption] of answers) {
        const button = document.createElement('button');
        button.value = value;
        button.textContent = caption;
        form.append(button);
    }
    dialog.append(title, body, form);
    document.body.append(dialog);
    return new Promise((resolve) => {
        dialog.addEventListener('close', () => {
            const answer = dialog.returnValue || (design.retryCancel ? 'cancel' : 'ok');
            dialog.remove();
            resolve(answer);
        });
        dialog.showModal();
        form.querySelector('button').focus();
    });
}
